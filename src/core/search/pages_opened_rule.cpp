#include "search/pages_opened_rule.h"

#include <utility>

namespace pluvik {

void PagesOpenedRule::searchStarted(const TabSet& tabs) {
    m_bySignalTab = tabs.test(EngineTable::kSignalTab);
    m_signalTabStopped = false;
    m_pending = m_bySignalTab ? TabSet{} : tabs;
}

void PagesOpenedRule::stopped() {
    m_signalTabStopped = true;
    m_pending.reset();
}

void PagesOpenedRule::loadBegan(int tab) {
    if (tab == EngineTable::kSignalTab) m_signalTabStopped = false;
}

bool PagesOpenedRule::loadEnded(int tab) {
    if (tab < 0 || tab >= EngineTable::kSlotCount) return false;
    if (m_bySignalTab) return tab == EngineTable::kSignalTab && !std::exchange(m_signalTabStopped, false);
    if (!m_pending.test(static_cast<size_t>(tab))) return false;
    m_pending.reset(static_cast<size_t>(tab));
    return m_pending.none();
}

}  // namespace pluvik

#include "search/search_plan.h"

#include "search/engine_catalogue.h"
#include "search/query_address.h"
#include "shell/settings.h"

namespace pluvik {

std::vector<Navigation> SearchPlan::navigations() const {
    std::vector<Navigation> result;
    for (const SearchStep& s : steps) {
        if (s.kind == SearchStepKind::Navigate) result.push_back({s.tab, s.text});
    }
    return result;
}

DiyEngines diyEngines(const Settings& s) {
    return {{s.opendiy1 == 1, s.diy1url, s.diy1encoding}, {s.opendiy2 == 1, s.diy2url, s.diy2encoding}};
}

TabSet tabsSwitchedOn(const Settings& s) {
    TabSet on;
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab)
        on.set(static_cast<size_t>(tab), s.engine(tab) != 0);
    on.set(EngineTable::kDiy1Tab, s.opendiy1 == 1);
    on.set(EngineTable::kDiy2Tab, s.opendiy2 == 1);
    return on;
}

namespace {

BuiltQuery tabQuery(const EngineCatalogue& engines, const DiyEngines& diy, int tab,
                    std::string_view keyword) {
    if (tab < EngineTable::kBuiltInCount) return engines.address(tab, keyword);
    const DiyEngine& engine = tab == EngineTable::kDiy1Tab ? diy.first : diy.second;
    return diyAddress(engine.url, engine.encoding, keyword);
}

bool isOn(const DiyEngines& diy, int tab) {
    if (tab == EngineTable::kDiy1Tab) return diy.first.on;
    if (tab == EngineTable::kDiy2Tab) return diy.second.on;
    return true;
}

}  // namespace

SearchPlan planSearch(const EngineCatalogue& engines, std::string_view keyword, const DiyEngines& diy,
                      const KeywordHistory& history, const TabSet& wanted) {
    SearchPlan plan;
    if (keyword.empty()) {
        plan.refused = true;
        plan.message = kEmptyKeywordMessage;
        return plan;
    }
    auto& steps = plan.steps;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab)
        plan.tabs.set(static_cast<size_t>(tab), wanted.test(static_cast<size_t>(tab)) && isOn(diy, tab));
    if (plan.tabs.none()) {
        steps.push_back({SearchStepKind::SetStatus, -1, kNoEngineMessage});
    } else {
        steps.push_back({SearchStepKind::SetSearchStarted});
        steps.push_back({SearchStepKind::StartTimer2});
        steps.push_back({SearchStepKind::ShowWaitWindow});
    }
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        if (plan.tabs.test(static_cast<size_t>(tab))) {
            BuiltQuery query = tabQuery(engines, diy, tab, keyword);
            // Only GBK lacks characters, and every GBK engine lacks the same ones of the keyword.
            if (plan.references.empty()) plan.references = std::move(query.references);
            steps.push_back({SearchStepKind::Navigate, tab, std::move(query.address)});
        }
        // The second load of the retry tab is due only when the search loads it.
        if (tab == EngineTable::kBuiltInCount - 1 && plan.tabs.test(EngineTable::kRetryTab))
            steps.push_back({SearchStepKind::StartTimer4});
    }
    // The keyword joins the history even when nothing loads: it is the one a tab switched on later
    // searches.
    const std::string text(keyword);
    if (!history.contains(text)) steps.push_back({SearchStepKind::AddToHistory, -1, text});
    return plan;
}

void LatestSearch::searched(std::string_view keyword, const TabSet& loaded, const TabSet& scope) {
    m_any = true;
    m_scope = scope;
    m_keyword = std::string(keyword);
    m_loaded = loaded;
}

std::vector<Navigation> LatestSearch::catchUp(const EngineCatalogue& engines, const Settings& settings) {
    std::vector<Navigation> loads;
    if (!m_any) return loads;
    const TabSet due = tabsSwitchedOn(settings) & m_scope & ~m_loaded;
    const DiyEngines diy = diyEngines(settings);
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        if (!due.test(static_cast<size_t>(tab))) continue;
        loads.push_back({tab, tabQuery(engines, diy, tab, m_keyword).address});
    }
    m_loaded |= due;
    return loads;
}

std::string retryAddress(const EngineCatalogue& engines, std::string_view currentComboText) {
    return engines.address(EngineTable::kRetryTab, currentComboText).address;
}

}  // namespace pluvik

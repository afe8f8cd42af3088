#pragma once

#include <bitset>

#include "search/engine_table.h"

namespace pluvik {

// A set of result tabs, tab 0 first.
using TabSet = std::bitset<EngineTable::kSlotCount>;

// Which end of a load is the search's pages-opened signal. With the signal tab among the tabs a
// search loads, every end of that tab's loads is the signal, as it always was. Without it (the
// engine switched off, or outside the search), waiting for it would hold the wait window until the
// deadline for a page nobody asked for: the signal is then the end of the last of the search's own
// loads, once. A failed load ends as well as a good one.
class PagesOpenedRule {
public:
    void searchStarted(const TabSet& tabs);
    // The wait window's stop: the engine reports the stopped loads as ended a moment later, and
    // those ends are no news.
    void stopped();
    // A load began in `tab` (a new search's, or a click on a link).
    void loadBegan(int tab);
    // A load ended in `tab`: whether this end is the signal.
    bool loadEnded(int tab);

private:
    bool m_bySignalTab = true;
    bool m_signalTabStopped = false;
    TabSet m_pending;
};

}  // namespace pluvik

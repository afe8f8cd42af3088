#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "search/pages_opened_rule.h"
#include "search/search_plan.h"

namespace pluvik {

// When a search's tabs load. Normally every tab of the search loads at once. With tabs loaded when
// first shown (the user's option), only the tab in front loads at once; every other tab keeps its
// load until the tab is first shown, or until every page is saved or printed. A later search takes
// over the loads of its own tabs only: a tab it does not load keeps the earlier search's load.
class TabLoading {
public:
    void setWhenShown(bool on) { m_whenShown = on; }
    bool whenShown() const { return m_whenShown; }

    // A search's loads, `front` the tab in front once it has begun: the loads due now. When the tab
    // in front is not among them, the search's first tab loads at once, so a search never leaves
    // its pages waiting for nothing.
    std::vector<Navigation> searchStarted(const std::vector<Navigation>& loads, int front);
    // Loads that come after the search (an engine switched on again): only the one in front goes now.
    std::vector<Navigation> later(const std::vector<Navigation>& loads, int front);
    // `tab` is shown: its load when it was waiting.
    std::optional<Navigation> shown(int tab);
    // The loads still waiting in `tabs` (the tabs a save or print of all pages goes over); they
    // wait no more.
    std::vector<Navigation> takeAll(const TabSet& tabs);

    bool waiting(int tab) const { return m_waiting.at(static_cast<size_t>(tab)).has_value(); }
    TabSet waitingTabs() const;
    // The tabs of `loads` that go now, as the pages-opened rule counts them.
    static TabSet tabsOf(const std::vector<Navigation>& loads);

private:
    std::vector<Navigation> schedule(const std::vector<Navigation>& loads, int front, bool oneAtLeast);

    bool m_whenShown = false;
    std::array<std::optional<std::string>, EngineTable::kSlotCount> m_waiting;
};

// The option's file, the program's own (the settings files never hold it): "1" on its first line for
// tabs loaded when first shown; a missing file, or anything else, is the usual way.
inline constexpr const char* kTabLoadingFileName = "tabs_when_shown.txt";
bool whenShownFromFile(const std::optional<std::string>& bytes);
std::string whenShownFileBytes(bool on);

}  // namespace pluvik

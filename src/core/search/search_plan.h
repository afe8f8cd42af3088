#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "search/engine_table.h"
#include "search/keyword_history.h"
#include "search/pages_opened_rule.h"

namespace pluvik {

struct Settings;
class EngineCatalogue;

// A user-defined engine as the search needs it.
struct DiyEngine {
    bool on = false;
    std::string url;  // the query address prefix, UTF-8
    KeywordEncoding encoding = KeywordEncoding::Gbk;
};

struct DiyEngines {
    DiyEngine first;
    DiyEngine second;
};

// The user-defined engines of the settings; an engine is searched only when its on/off field is
// exactly 1.
DiyEngines diyEngines(const Settings& settings);

struct Navigation {
    int tab;
    std::string address;
    bool operator==(const Navigation&) const = default;
};

// Timer2 sets the status text back this long after a search, and again every time after.
inline constexpr int kStatusTimerMs = 1200;
// Timer4 loads the retry tab a second time this long after a search, once.
inline constexpr int kRetryTimerMs = 3000;

enum class SearchStepKind {
    SetSearchStarted,
    StartTimer2,
    ShowWaitWindow,
    Navigate,  // tab, text = address
    StartTimer4,
    AddToHistory,  // text = keyword: add it to the history and to the drop-down list of Combo1
    SetStatus,     // text = the status bar's text
};

struct SearchStep {
    SearchStep(SearchStepKind k, int t = -1, std::string s = {}) : kind(k), tab(t), text(std::move(s)) {}
    SearchStepKind kind;
    int tab;
    std::string text;
    bool operator==(const SearchStep&) const = default;
};

// What one search does, in the order the window must carry it out. A refused search (empty
// keyword) has a message to show and no steps at all.
struct SearchPlan {
    bool refused = false;
    std::string message;
    std::vector<SearchStep> steps;
    // The keyword's characters that some engine's encoding lacks (BuiltQuery::references).
    std::string references;
    // The tabs the search loads.
    TabSet tabs;

    std::vector<Navigation> navigations() const;
};

inline constexpr const char* kEmptyKeywordMessage = "请先输入关键词";
inline constexpr const char* kNoEngineMessage = "所选的搜索引擎都已关闭，没有打开网页";

// The tabs switched on in the settings. A built-in engine is off only when its field is 0 (a held
// value leaves its tab as it is, searched as before); a user-defined one is on only when its field
// is exactly 1.
TabSet tabsSwitchedOn(const Settings& settings);
inline TabSet allTabs() {
    return TabSet{}.set();
}

// The search for the keyword exactly as typed (a keyword of blanks is searched), in the tabs of
// `wanted` whose engine is on, hidden or not: an engine the user switched off costs no page load
// and sends the keyword nowhere. With no tab to load the search says so in the status bar and
// neither waits nor starts its timers.
SearchPlan planSearch(const EngineCatalogue& engines, std::string_view keyword, const DiyEngines& diy,
                      const KeywordHistory& history, const TabSet& wanted = allTabs());

// What the latest search left: a tab of its scope it skipped because its engine was off searches the
// latest keyword as soon as the user switches it on again, so showing it shows that search's result
// page. Tabs outside the scope keep what they show.
class LatestSearch {
public:
    void searched(std::string_view keyword, const TabSet& loaded, const TabSet& scope = allTabs());
    // The loads for the tabs on in `settings` that the latest search skipped; they count as
    // loaded from now on.
    std::vector<Navigation> catchUp(const EngineCatalogue& engines, const Settings& settings);
    bool loaded(int tab) const { return m_loaded.test(static_cast<size_t>(tab)); }

private:
    bool m_any = false;
    std::string m_keyword;
    TabSet m_loaded;
    TabSet m_scope;
};

// The second load of tab 20 when Timer4 ticks: built from what Combo1 holds at that moment, which
// may differ from the keyword searched.
std::string retryAddress(const EngineCatalogue& engines, std::string_view currentComboText);

}  // namespace pluvik

#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "search/engine_table.h"
#include "search/keyword_history.h"

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

    std::vector<Navigation> navigations() const;
};

inline constexpr const char* kEmptyKeywordMessage = "请先输入关键词";

// The search for the keyword exactly as typed (a keyword of blanks is searched). Tabs 0..20 are
// always navigated, hidden or not; 21 and 22 only when switched on.
SearchPlan planSearch(const EngineCatalogue& engines, std::string_view keyword, const DiyEngines& diy,
                      const KeywordHistory& history);

// The second load of tab 20 when Timer4 ticks: built from what Combo1 holds at that moment, which
// may differ from the keyword searched.
std::string retryAddress(const EngineCatalogue& engines, std::string_view currentComboText);

}  // namespace pluvik

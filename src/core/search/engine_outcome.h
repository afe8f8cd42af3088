#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "browse/page_session.h"

namespace pluvik {

// What one engine's page did on one search.
enum class EngineResult {
    Ok,            // loaded on the host asked, the keyword shows in it
    HttpError,     // the server answered 400 or more
    NetworkError,  // no answer: host not found, refused, reset, empty response
    Slow,          // not finished when the pages-opened deadline passed
    Moved,         // finished on another host than the one asked: a site that moved
    NoKeyword,     // loaded, but neither title nor text shows the keyword (a front or consent page)
};

struct EngineOutcome {
    EngineResult result = EngineResult::Slow;
    int status = 0;  // the server's status, 0 when none came
    int errorDomain = 0;
    int errorCode = 0;
    std::int64_t ms = -1;  // navigation to the load's end; -1 when the load did not end
    std::string host;      // the host asked
    std::string finalHost;
};

// What the page reported for the search's navigation to `asked` at `navigatedAt`: the load's end
// (none when the deadline passed first), when it ended, and whether the page showed the keyword
// (asked of the page only after a load that ended on the asked host without an error).
struct EngineReport {
    std::string asked;
    std::int64_t navigatedAt = 0;
    std::optional<LoadOutcome> load;
    std::int64_t finishedAt = 0;
    bool keywordShown = false;
};

// The lower-case host of an address ("" when it has none).
std::string addressHost(std::string_view address);

// Whether the report needs the page asked for the keyword before it can be decided.
bool needsKeywordCheck(const EngineReport& report);
EngineOutcome decideOutcome(const EngineReport& report);

// The trace's name of a result ("ok", "http_error", ...).
std::string_view resultName(EngineResult result);
// What the tab's tooltip tells the user; empty for Ok. `deadlineSeconds` is the pages-opened
// deadline the slow page missed.
std::string outcomeText(const EngineOutcome& outcome, int deadlineSeconds);

}  // namespace pluvik

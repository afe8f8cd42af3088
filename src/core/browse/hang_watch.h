#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace pluvik {

// The caller's handle of one page.
using PageHandle = std::uintptr_t;

// One page as the watchdog sees it when a round begins. Times are milliseconds on the caller's
// clock, the same clock as the rounds'.
struct WatchedPage {
    PageHandle page = 0;
    std::int64_t pid = 0;                 // the renderer process holding the page now; 0 while it has none
    bool askable = false;                 // it runs scripts now: not frozen, not being printed
    std::optional<std::int64_t> askedAt;  // when the question still open was asked; none when none is
    // When the renderer last worked for this page: it parsed a title or finished a load. 0: never.
    std::int64_t workedAt = 0;
};

// A process that hangs, and the page that most likely hangs it.
struct HungProcess {
    std::int64_t pid = 0;
    PageHandle culprit = 0;
    // The other pages of the process that left their question unanswered.
    std::vector<PageHandle> suspects;
    bool operator==(const HungProcess&) const = default;
};

struct WatchRound {
    // Nobody was judged: every open question is to be forgotten (the next round asks again).
    bool skipped = false;
    std::vector<PageHandle> ask;  // the pages to ask now; their question opens at this round's time
    std::vector<HungProcess> hung;
};

// The renderer watchdog's decisions. Renderer processes are shared by several pages, and one script
// that never ends stops every page of its process. Each round asks every page that runs scripts a
// trivial question; a process counts as hung when a question to one of its pages has gone unanswered
// longer than kHangMs while another process answered a question asked since, or longer than
// kStartingHangMs whatever the others do (a process may still be starting on a busy machine, and
// when no process answers, the machine or the engine is stalled, not one renderer); never while the
// process itself answered a question asked later (for another of its pages): it runs, and the
// page's answer is late behind its neighbours' work. The caller ends the processes a round names and
// reports each with ended().
class HangWatch {
public:
    static constexpr std::int64_t kRoundMs = 1500;
    static constexpr std::int64_t kHangMs = 7000;
    static constexpr std::int64_t kStartingHangMs = 30000;
    // How long an ended process's number is remembered as the watchdog's doing.
    static constexpr std::int64_t kEndedMemoryMs = 30000;
    // A load that fails this soon after the watchdog ended a process most likely went to it.
    static constexpr std::int64_t kJustEndedMs = 3000;

    WatchRound round(std::int64_t now, bool modalDialogRunning, const std::vector<WatchedPage>& pages);
    // A page of process `pid` answered the question asked at `askedAt`.
    void answered(std::int64_t pid, std::int64_t askedAt);
    // The caller ended the process named by a round.
    void ended(const HungProcess& process, std::int64_t now);

    bool endedByWatchdog(std::int64_t pid, std::int64_t now) const;
    bool endedJustNow(std::int64_t now) const;

private:
    PageHandle culpritAmong(const std::vector<const WatchedPage*>& unanswered, std::int64_t now) const;

    std::optional<std::int64_t> m_lastRound;
    std::optional<std::int64_t> m_lastEnd;
    std::map<std::int64_t, std::int64_t> m_answered;  // process number, latest question it answered
    std::map<std::int64_t, std::int64_t> m_ended;     // process number, when it was ended
    // The pages that did not answer in the last process ended, besides the one blamed.
    std::set<PageHandle> m_suspects;
};

}  // namespace pluvik

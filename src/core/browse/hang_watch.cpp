#include "browse/hang_watch.h"

#include <algorithm>
#include <utility>

namespace pluvik {

WatchRound HangWatch::round(std::int64_t now, bool modalDialogRunning,
                            const std::vector<WatchedPage>& pages) {
    // While a modal dialog runs its own event loop inside one of the engine's calls, or while the
    // program itself was too busy to hold its rounds, answers cannot come through: nobody is judged.
    const bool late = m_lastRound && now - *m_lastRound > 2 * kRoundMs;
    m_lastRound = now;
    std::erase_if(m_ended, [now](const auto& end) { return now - end.second > kEndedMemoryMs; });
    WatchRound result;
    if (late || modalDialogRunning) {
        result.skipped = true;
        return result;
    }

    std::erase_if(m_answered, [now](const auto& answer) { return now - answer.second > kStartingHangMs; });
    // Another process answered a question asked no earlier than this one: the machine and the
    // engine work, this process does not. When every process is silent, the whole engine or machine
    // is stalled, not one renderer, and only the long limit applies.
    auto othersAnsweredSince = [this](std::int64_t pid, std::int64_t askedAt) {
        for (const auto& [other, asked] : m_answered)
            if (other != pid && asked >= askedAt) return true;
        return false;
    };
    // One thread runs the scripts of every page of a process: a process that answered a question
    // asked after this one runs, and the page's answer is only late behind its neighbours' work.
    auto answeredLater = [this](std::int64_t pid, std::int64_t askedAt) {
        const auto own = m_answered.find(pid);
        return own != m_answered.end() && own->second > askedAt;
    };
    std::map<std::int64_t, std::vector<const WatchedPage*>> unansweredByProcess;
    std::set<std::int64_t> hung;
    for (const WatchedPage& page : pages) {
        // A page without a process, or one that runs no scripts now, cannot be asked or judged.
        if (page.pid <= 0 || !page.askable) continue;
        if (!page.askedAt) {
            result.ask.push_back(page.page);
            continue;
        }
        // Every page with an open question is a suspect, whenever it was asked: a page's question
        // may have been asked a round later than its neighbours' (its load had just begun).
        unansweredByProcess[page.pid].push_back(&page);
        const std::int64_t unanswered = now - *page.askedAt;
        if (answeredLater(page.pid, *page.askedAt)) continue;
        if (unanswered > kStartingHangMs ||
            (unanswered > kHangMs && othersAnsweredSince(page.pid, *page.askedAt)))
            hung.insert(page.pid);
    }
    for (std::int64_t pid : hung) {
        if (m_ended.contains(pid)) continue;  // ended already; its pages have not heard yet
        const std::vector<const WatchedPage*>& unanswered = unansweredByProcess[pid];
        HungProcess process{pid, culpritAmong(unanswered, now), {}};
        for (const WatchedPage* page : unanswered)
            if (page->page != process.culprit) process.suspects.push_back(page->page);
        result.hung.push_back(std::move(process));
    }
    return result;
}

// Every page of a hung process stops answering at once (one thread runs the scripts of all of
// them), so the answers alone cannot tell which of them hangs it; a page that answered, or was
// not asked, is not the one. Among the pages that did not answer: first a page that also did not
// answer in the process ended last (the real culprit, loaded again, hangs its new process too);
// then the page the renderer worked for last. A script that never ends mostly starts as its page
// is parsed or finishes loading, and after that the renderer works for no other page.
PageHandle HangWatch::culpritAmong(const std::vector<const WatchedPage*>& unanswered,
                                   std::int64_t now) const {
    const bool suspectsFresh = m_lastEnd && now - *m_lastEnd <= kEndedMemoryMs;
    auto rank = [&](const WatchedPage* page) {
        return std::pair(suspectsFresh && m_suspects.contains(page->page), page->workedAt);
    };
    const WatchedPage* best = nullptr;
    for (const WatchedPage* page : unanswered)
        if (!best || rank(page) > rank(best)) best = page;
    return best ? best->page : 0;
}

void HangWatch::answered(std::int64_t pid, std::int64_t askedAt) {
    std::int64_t& latest = m_answered[pid];
    latest = std::max(latest, askedAt);
}

void HangWatch::ended(const HungProcess& process, std::int64_t now) {
    m_ended[process.pid] = now;
    // Process numbers come round again; the pages of this one hear of its end long before that.
    m_answered.erase(process.pid);
    m_lastEnd = now;
    m_suspects = {process.suspects.begin(), process.suspects.end()};
}

bool HangWatch::endedByWatchdog(std::int64_t pid, std::int64_t now) const {
    const auto it = m_ended.find(pid);
    return it != m_ended.end() && now - it->second <= kEndedMemoryMs;
}

bool HangWatch::endedJustNow(std::int64_t now) const {
    return m_lastEnd && now - *m_lastEnd < kJustEndedMs;
}

}  // namespace pluvik

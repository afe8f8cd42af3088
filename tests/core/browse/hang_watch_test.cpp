#include "browse/hang_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace pluvik;

namespace {

// Pages as the program holds them: a round's questions open at the round's time, an answer closes
// the page's question. The clock only moves when the test moves it, one round at a time.
class HangWatchTest : public ::testing::Test {
protected:
    WatchedPage& page(PageHandle handle, std::int64_t pid) {
        pages.push_back({handle, pid, true, std::nullopt, 0});
        return pages.back();
    }
    WatchRound roundAt(std::int64_t time, bool modal = false) {
        now = time;
        WatchRound result = watch.round(now, modal, pages);
        if (result.skipped)
            for (WatchedPage& p : pages) p.askedAt.reset();
        for (PageHandle asked : result.ask)
            for (WatchedPage& p : pages)
                if (p.page == asked) p.askedAt = now;
        for (WatchedPage& p : pages)
            if (alive.contains(p.page) && p.askedAt) {
                watch.answered(p.pid, *p.askedAt);
                p.askedAt.reset();
            }
        return result;
    }
    // Page 1 (process 10) answers once, then never again; page 2 (process 20) answers throughout.
    void pageOneFallsSilent() {
        page(1, 10);
        page(2, 20);
        alive = {1, 2};
        roundAt(0);
        alive = {2};
    }
    // Rounds every kRoundMs up to `time`, then one at `time`; returns the last.
    WatchRound roundsUntil(std::int64_t time) {
        while (now + HangWatch::kRoundMs < time) roundAt(now + HangWatch::kRoundMs);
        return roundAt(time);
    }
    // The same rounds; whether none of them named a hung process (a process named once and not
    // ended is named again, but an early verdict may be forgotten by the last round).
    bool noneHungUntil(std::int64_t time) {
        bool none = true;
        while (now < time) none = roundAt(std::min(now + HangWatch::kRoundMs, time)).hung.empty() && none;
        return none;
    }

    HangWatch watch;
    std::vector<WatchedPage> pages;
    std::set<PageHandle> alive;  // pages of working processes: they answer at once
    std::int64_t now = 0;
};

TEST_F(HangWatchTest, AProcessHangsPastSevenSecondsWhileAnotherAnswers) {
    pageOneFallsSilent();
    roundAt(1000);  // asked again, and never answers
    EXPECT_TRUE(roundsUntil(8000).hung.empty());
    const WatchRound hung = roundAt(8001);
    ASSERT_EQ(hung.hung, (std::vector<HungProcess>{{10, 1, {}}}));

    // Ended, it is not judged again while its pages have not heard of it, and is known as ended.
    watch.ended(hung.hung.front(), now);
    EXPECT_TRUE(roundAt(now + HangWatch::kRoundMs).hung.empty());
    EXPECT_TRUE(watch.endedJustNow(now) && !watch.endedJustNow(now + HangWatch::kJustEndedMs));
    EXPECT_TRUE(watch.endedByWatchdog(10, now + HangWatch::kEndedMemoryMs - HangWatch::kRoundMs) &&
                !watch.endedByWatchdog(10, now + HangWatch::kEndedMemoryMs + HangWatch::kRoundMs));
}

TEST_F(HangWatchTest, WhileNoProcessAnswersEachGetsThirtySeconds) {
    // When every process falls silent at once, the machine or the engine is stalled, not a renderer.
    page(1, 10);
    page(2, 20);
    page(3, 30);
    alive = {1, 2, 3};
    roundAt(0);  // every process falls silent from the next round on
    alive = {};
    EXPECT_TRUE(noneHungUntil(31500));
    EXPECT_EQ(roundAt(31501).hung.size(), 3u);
}

TEST_F(HangWatchTest, NobodyIsJudgedDuringAModalDialogOrAfterTheProgramStalled) {
    pageOneFallsSilent();
    roundsUntil(1000 + HangWatch::kHangMs);
    // Overdue now, but a dialog runs its own event loop: the question is forgotten.
    const WatchRound modal = roundAt(now + HangWatch::kRoundMs, true);
    EXPECT_TRUE(modal.skipped && modal.hung.empty() && modal.ask.empty());

    // Asked again, then the next round is held up longer than two rounds' time: the program itself
    // was busy, and the page's answer could not have come through.
    roundAt(now + HangWatch::kRoundMs);
    const WatchRound late = roundAt(now + HangWatch::kHangMs + 1);
    EXPECT_TRUE(late.skipped && late.hung.empty());
    EXPECT_FALSE(roundAt(now + 2 * HangWatch::kRoundMs).skipped);
}

TEST_F(HangWatchTest, TheCulpritIsThePageOfTheHungProcessItsRendererWorkedForLast) {
    page(1, 10).workedAt = 100;
    page(2, 10).askable = false;  // frozen: asked nothing, and the last the renderer worked for
    pages.back().workedAt = 900;
    page(3, 10).workedAt = 500;  // the one whose script never ends
    page(4, 20).workedAt = 950;  // another process, answering throughout
    alive = {1, 3, 4};
    roundAt(0);
    alive = {4};
    const WatchRound hung = roundsUntil(HangWatch::kRoundMs + HangWatch::kHangMs + 1);
    EXPECT_EQ(hung.hung, (std::vector<HungProcess>{{10, 3, {1}}}));
}

TEST_F(HangWatchTest, APageThatAlsoHungTheProcessEndedLastIsBlamedFirst) {
    page(1, 10).workedAt = 200;
    page(2, 10).workedAt = 100;
    page(9, 90);  // another process, answering throughout
    alive = {1, 2, 9};
    roundAt(0);
    alive = {9};
    const WatchRound first = roundsUntil(HangWatch::kRoundMs + HangWatch::kHangMs + 1);
    ASSERT_EQ(first.hung, (std::vector<HungProcess>{{10, 1, {2}}}));
    watch.ended(first.hung.front(), now);

    // Page 1 was wrong and shows it stopped; page 2, loaded again, hangs its new process with page 3.
    pages.erase(pages.begin(), pages.begin() + 2);
    page(2, 30).workedAt = now;
    page(3, 30).workedAt = now + 100;
    alive = {2, 3, 9};
    roundAt(now + HangWatch::kRoundMs);
    alive = {9};
    const WatchRound second = roundsUntil(now + HangWatch::kRoundMs + HangWatch::kHangMs + 1);
    EXPECT_EQ(second.hung, (std::vector<HungProcess>{{30, 2, {3}}}));
}

}  // namespace

TEST_F(HangWatchTest, ALateAnswerToAQuestionAskedEarlierIsNoSignThatTheOthersWork) {
    page(1, 10);
    page(2, 20);
    pages[0].askable = false;  // page 1 is still loading and not asked yet
    alive = {2};
    roundsUntil(15000);  // process 20 answers every question up to the one asked at 15 s
    alive = {};
    roundsUntil(16500);  // asked again at 16.5 s
    pages[0].askable = true;
    roundsUntil(18000);  // page 1 asked at 18 s
    // Process 20 answers its 16.5 s question only now, after page 1's was asked, and then falls
    // silent: no process answered a question asked since 18 s, so page 1 gets the full 30 s.
    watch.answered(20, 16500);
    pages[1].askedAt.reset();
    EXPECT_TRUE(noneHungUntil(18000 + 30000));
    EXPECT_EQ(roundAt(18000 + 30001).hung, (std::vector<HungProcess>{{10, 1, {}}}));
}

TEST_F(HangWatchTest, AProcessThatAnswersLaterQuestionsForItsOtherPagesIsBusyNotHung) {
    // Page 1's answer waits behind its neighbour's work; page 2 of the same process answers on.
    page(1, 10);
    page(2, 10);
    page(3, 20);
    alive = {2, 3};
    EXPECT_TRUE(noneHungUntil(HangWatch::kStartingHangMs + 10000));
    // Once the process answers nothing asked after page 1's question, the usual limit applies.
    alive = {3};
    EXPECT_FALSE(roundsUntil(now + HangWatch::kRoundMs + HangWatch::kHangMs + 1).hung.empty());
}

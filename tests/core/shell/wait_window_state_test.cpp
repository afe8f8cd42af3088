#include "shell/wait_window_state.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pluvik;

namespace {

// What the main window and the wait window look like after carrying out the steps.
struct Screen {
    bool mainEnabled = true;
    bool waitVisible = false;
    bool timerRunning = false;
    bool tabsStopped = false;
    bool questionDismissed = false;
    std::string status = "准备工作";

    void apply(const WaitSteps& steps) {
        for (const WaitStep& s : steps) {
            switch (s.action) {
                case WaitAction::OpenWindow:
                    waitVisible = true;
                    break;
                case WaitAction::CloseWindow:
                    waitVisible = false;
                    break;
                case WaitAction::DisableMain:
                    mainEnabled = false;
                    break;
                case WaitAction::EnableMain:
                    mainEnabled = true;
                    break;
                case WaitAction::SetStatus:
                    status = s.text;
                    break;
                case WaitAction::StopResultTabs:
                    tabsStopped = true;
                    break;
                case WaitAction::StartTimer:
                    timerRunning = true;
                    break;
                case WaitAction::StopTimer:
                    timerRunning = false;
                    break;
                case WaitAction::DismissQuestion:
                    questionDismissed = true;
                    break;
                case WaitAction::PassDeadline:
                    break;
            }
        }
    }
};

// A user's close: ask if needed, answer with `answer`.
void closeByUser(WaitWindowState& wait, Screen& screen, std::optional<CloseAnswer> answer) {
    const std::optional<StopQuestion> question = wait.beginClose();
    screen.apply(wait.finishClose(question ? answer : std::nullopt));
}

class WaitWindowStateTest : public ::testing::Test {
protected:
    void SetUp() override { screen.apply(wait.show()); }
    WaitWindowState wait;
    Screen screen;
};

}  // namespace

TEST_F(WaitWindowStateTest, ShowingDisablesTheMainWindowOnce) {
    EXPECT_TRUE(screen.waitVisible);
    EXPECT_FALSE(screen.mainEnabled);
    EXPECT_FALSE(wait.pagesOpened() || wait.closeRequested() || wait.timerRunning());
    EXPECT_TRUE(wait.show().empty());
    EXPECT_TRUE(wait.tick().empty());  // nothing has asked it to close
}

TEST_F(WaitWindowStateTest, SignalThenTickClosesTheWindow) {
    const WaitSteps signal = wait.signalPagesOpened();
    EXPECT_EQ(signal, (WaitSteps{{WaitAction::SetStatus, "已打开"},
                                 {WaitAction::EnableMain},
                                 {WaitAction::StartTimer},
                                 {WaitAction::SetStatus, "已打开"}}));
    EXPECT_TRUE(wait.pagesOpened() && wait.closeRequested() && wait.timerRunning());
    screen.apply(signal);
    EXPECT_TRUE(screen.waitVisible);

    // Tab 15 completes again before the tick: the timer keeps its count.
    const WaitSteps repeated = wait.signalPagesOpened();
    EXPECT_EQ(std::count(repeated.begin(), repeated.end(), WaitStep{WaitAction::StartTimer}), 0);

    screen.apply(wait.tick());
    EXPECT_FALSE(wait.isOpen());
    EXPECT_FALSE(screen.waitVisible);
    EXPECT_FALSE(screen.timerRunning);
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_EQ(screen.status, "已打开");
    EXPECT_FALSE(screen.tabsStopped);
}

TEST_F(WaitWindowStateTest, CloseBeforeTheSignalAsksAndOkStopsTheTabs) {
    const std::optional<StopQuestion> question = wait.beginClose();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, "要停止打开网页吗？");
    EXPECT_EQ(question->caption, "停止确认");

    screen.apply(wait.finishClose(CloseAnswer::Ok));
    EXPECT_TRUE(screen.tabsStopped);
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_EQ(screen.status, "已停止打开");
    EXPECT_FALSE(screen.waitVisible);
}

TEST_F(WaitWindowStateTest, CancelClosesTheWindowButKeepsTheMainWindowDisabledUntilTheSignal) {
    closeByUser(wait, screen, CloseAnswer::Cancel);
    EXPECT_FALSE(screen.waitVisible);
    EXPECT_FALSE(screen.mainEnabled);
    EXPECT_FALSE(screen.tabsStopped);
    EXPECT_EQ(screen.status, "准备工作");

    screen.apply(wait.signalPagesOpened());
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_EQ(screen.status, "已打开");
    EXPECT_FALSE(screen.waitVisible);
    EXPECT_FALSE(screen.timerRunning);  // no window, no timer
}

TEST_F(WaitWindowStateTest, CloseAfterTheSignalAsksNothing) {
    screen.apply(wait.signalPagesOpened());
    screen.status = "正在打开....";
    EXPECT_FALSE(wait.beginClose());
    screen.apply(wait.finishClose(std::nullopt));
    EXPECT_FALSE(screen.waitVisible);
    EXPECT_FALSE(screen.timerRunning);
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_EQ(screen.status, "已打开");
    EXPECT_TRUE(wait.tick().empty());  // a tick already queued finds nothing to close
}

TEST_F(WaitWindowStateTest, ExitClosesWithoutAsking) {
    wait.markExiting();
    EXPECT_FALSE(wait.beginClose());
    screen.apply(wait.finishClose(std::nullopt));
    EXPECT_FALSE(screen.waitVisible);
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_FALSE(screen.tabsStopped);
}

TEST_F(WaitWindowStateTest, SignalDuringTheQuestionDismissesItAndIsHonoured) {
    ASSERT_TRUE(wait.beginClose());
    EXPECT_FALSE(wait.beginClose());         // a second close while it is asked asks nothing more
    screen.apply(wait.signalPagesOpened());  // the question box runs its own event loop
    EXPECT_TRUE(screen.questionDismissed);
    screen.apply(wait.finishClose(CloseAnswer::Cancel));
    EXPECT_FALSE(screen.waitVisible);
    EXPECT_FALSE(screen.timerRunning);
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_EQ(screen.status, "已打开");

    // A tick that closed the window while the question was up leaves the answer nothing to do.
    screen.apply(wait.show());
    ASSERT_TRUE(wait.beginClose());
    screen.apply(wait.signalPagesOpened());
    screen.apply(wait.tick());
    EXPECT_TRUE(wait.finishClose(CloseAnswer::Ok).empty());
    EXPECT_FALSE(screen.tabsStopped);
}

TEST_F(WaitWindowStateTest, ANewSearchStartsAFreshWindow) {
    screen.apply(wait.signalPagesOpened());
    screen.apply(wait.tick());
    screen.apply(wait.show());
    EXPECT_TRUE(screen.waitVisible);
    EXPECT_FALSE(screen.mainEnabled);
    EXPECT_FALSE(wait.pagesOpened() || wait.closeRequested() || wait.timerRunning());
    EXPECT_TRUE(wait.beginClose());
}

// The clock starts just before the tick counter wraps, so the deadline is counted across the wrap.
constexpr std::uint32_t kSearchTick = 0xFFFFF000u;
// The user waits fifteen seconds at most for the pages, whatever the constant says.
constexpr std::uint32_t kDeadlineMs = 15000;

TEST_F(WaitWindowStateTest, WithoutTheSignalTheDeadlineCountsThePagesOpenedOnce) {
    wait.searchStarted(kSearchTick);
    const std::uint32_t deadline = kSearchTick + kDeadlineMs;
    EXPECT_EQ(wait.deadlineLeft(kSearchTick + 1000), kDeadlineMs - 1000);
    EXPECT_TRUE(wait.checkDeadline(deadline - 1).empty());

    WaitWindowState signalled;
    static_cast<void>(signalled.show());
    WaitSteps expected{{WaitAction::PassDeadline}};
    for (const WaitStep& step : signalled.signalPagesOpened()) expected.push_back(step);
    EXPECT_EQ(wait.checkDeadline(deadline), expected);
    screen.apply(wait.tick());
    EXPECT_FALSE(screen.waitVisible);
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_EQ(screen.status, "已打开");
    EXPECT_FALSE(wait.deadlineLeft(deadline + 1));
    EXPECT_TRUE(wait.checkDeadline(deadline + 5000).empty());
}

TEST_F(WaitWindowStateTest, TheDeadlineFreesTheMainWindowAfterCancelButNotAfterOkOrTheSignal) {
    wait.searchStarted(kSearchTick);
    closeByUser(wait, screen, CloseAnswer::Cancel);
    EXPECT_FALSE(screen.mainEnabled);
    screen.apply(wait.checkDeadline(kSearchTick + kDeadlineMs));
    EXPECT_TRUE(screen.mainEnabled);
    EXPECT_EQ(screen.status, "已打开");

    // Stopped by the user: the search stays stopped.
    screen.apply(wait.show());
    wait.searchStarted(kSearchTick);
    closeByUser(wait, screen, CloseAnswer::Ok);
    EXPECT_FALSE(wait.deadlineLeft(kSearchTick));
    EXPECT_EQ(screen.status, "已停止打开");

    // A later search restarts the count; opened in time, the deadline still comes for the pages
    // that have not loaded, once, and signals nothing again.
    screen.apply(wait.show());
    wait.searchStarted(kSearchTick);
    wait.searchStarted(kSearchTick + 10000);
    EXPECT_EQ(wait.deadlineLeft(kSearchTick + 15000), kDeadlineMs - 5000);
    screen.apply(wait.signalPagesOpened());
    EXPECT_EQ(wait.deadlineLeft(kSearchTick + 15000), kDeadlineMs - 5000);
    EXPECT_EQ(wait.checkDeadline(kSearchTick + 25000), WaitSteps{{WaitAction::PassDeadline}});
    EXPECT_TRUE(wait.checkDeadline(kSearchTick + 26000).empty());
}

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pluvik {

// What the wait window `ready` asks of the main window and of itself, in the order to carry it out.
enum class WaitAction {
    OpenWindow,       // show the wait window (modeless)
    CloseWindow,      // the wait window goes away; a close in progress is accepted
    DisableMain,      // disable the main window
    EnableMain,       // enable the main window
    SetStatus,        // set the main window's status text to `text`
    StopResultTabs,   // stop loading in result tabs 0..20, ignoring each browser's errors
    StartTimer,       // start the wait window's Timer1 (2000 ms); only asked for while it is stopped
    StopTimer,        // stop Timer1
    DismissQuestion,  // the stop question on screen goes away, answered "Cancel"
    PassDeadline,     // the search's deadline passed: a result page still loading is slow
};

struct WaitStep {
    WaitStep(WaitAction a, std::string t = {}) : action(a), text(std::move(t)) {}
    WaitAction action;
    std::string text;  // SetStatus only
    bool operator==(const WaitStep&) const = default;
};

using WaitSteps = std::vector<WaitStep>;

enum class CloseAnswer { Ok, Cancel };

// The stop question asked when the wait window is closed before the pages have opened.
struct StopQuestion {
    std::string text;     // "要停止打开网页吗？"
    std::string caption;  // "停止确认"
};

// The one wait window of the program: absent or closed, shown and waiting, signalled (flags set,
// timer running), then closed again. Timer ticks and the clock come from the caller, so every path
// can be driven step by step.
class WaitWindowState {
public:
    // Tab 15 may never finish loading (a slow server, a page that keeps its connection open): this
    // long after the search started the pages count as opened all the same, and tab 15 loads on.
    static constexpr std::uint32_t kPagesOpenedDeadlineMs = 15000;
    // The wait window's Timer1: once signalled, the window closes at its next tick.
    static constexpr int kTickMs = 2000;

    bool isOpen() const { return m_open; }
    bool pagesOpened() const { return m_pagesOpened; }
    bool closeRequested() const { return m_closeRequested; }
    bool timerRunning() const { return m_timerRunning; }

    // Every search shows the window. A new window starts with both flags false and the timer
    // stopped, and disables the main window; showing an open window changes nothing.
    WaitSteps show();

    // The pages-opened signal (completion of tab 15 after a search started). Without an open wait
    // window it still sets the status text and enables the main window.
    WaitSteps signalPagesOpened();

    // A search started at `tick` (milliseconds of the system's tick counter, which wraps): the
    // pages-opened signal is due by the deadline, counted from the latest search.
    void searchStarted(std::uint32_t tick);
    // The milliseconds left until the deadline at `now`, none once it has passed or the user
    // stopped the search. The deadline outlives the signal: the pages that have not loaded by then
    // are slow, whenever the signal came.
    std::optional<std::uint32_t> deadlineLeft(std::uint32_t now) const;
    // At `now`: once the deadline has passed, PassDeadline and, without the signal, the signal's own
    // steps (once); otherwise nothing.
    WaitSteps checkDeadline(std::uint32_t now);

    // One tick of Timer1: closes the window once the signal asked for it. The close runs the same
    // close request as a user's close (with the pages opened it asks nothing).
    WaitSteps tick();

    // First half of a close request: the question to ask, if any. Nothing is asked once the pages
    // have opened or the program is exiting, nor when the window is not open, nor twice at once.
    // Should the pages open while it is asked, the signal dismisses the question (as "Cancel").
    std::optional<StopQuestion> beginClose();

    // Second half: the answer to the question (none when none was asked). The window closes
    // whatever the answer; after Cancel the main window stays disabled until the signal comes.
    // A window that is already closed (a tick closed it while the question was up) gives no steps.
    WaitSteps finishClose(std::optional<CloseAnswer> answer);

    // The exit sequence: closing the window from now on asks nothing.
    void markExiting() {
        m_pagesOpened = true;
        m_awaiting = false;
        m_deadlineDue = false;
    }

private:
    void close(WaitSteps& steps);

    // Since the latest search, while its signal has not come and nobody stopped the loading.
    bool m_awaiting = false;
    // Since the latest search, until its deadline passed or the user stopped it.
    bool m_deadlineDue = false;
    std::uint32_t m_searchTick = 0;
    bool m_asking = false;
    bool m_open = false;
    bool m_pagesOpened = false;
    bool m_closeRequested = false;
    bool m_timerRunning = false;
};

}  // namespace pluvik

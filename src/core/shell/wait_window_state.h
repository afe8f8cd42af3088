#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pluvik {

// What the wait window `ready` asks of the main window and of itself, in the order to carry it out.
enum class WaitAction {
    OpenWindow,      // show the wait window (modeless)
    CloseWindow,     // the wait window goes away; a close in progress is accepted
    DisableMain,     // disable the main window
    EnableMain,      // enable the main window
    SetStatus,       // set the main window's status text to `text`
    StopResultTabs,  // stop loading in result tabs 0..20, ignoring each browser's errors
    StartTimer,      // start the wait window's Timer1 (2000 ms); only asked for while it is stopped
    StopTimer,       // stop Timer1
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
// timer running), then closed again. Timer ticks come from the caller, so every path can be driven
// step by step.
class WaitWindowState {
public:
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

    // One tick of Timer1: closes the window once the signal asked for it. The close runs the same
    // close request as a user's close (with the pages opened it asks nothing).
    WaitSteps tick();

    // First half of a close request: the question to ask, if any. Nothing is asked once the pages
    // have opened or the program is exiting, nor when the window is not open.
    std::optional<StopQuestion> beginClose() const;

    // Second half: the answer to the question (none when none was asked). The window closes
    // whatever the answer; after Cancel the main window stays disabled until the signal comes.
    // A window that is already closed (a tick closed it while the question was up) gives no steps.
    WaitSteps finishClose(std::optional<CloseAnswer> answer);

    // The exit sequence: closing the window from now on asks nothing.
    void markExiting() { m_pagesOpened = true; }

private:
    void close(WaitSteps& steps);

    bool m_open = false;
    bool m_pagesOpened = false;
    bool m_closeRequested = false;
    bool m_timerRunning = false;
};

}  // namespace pluvik

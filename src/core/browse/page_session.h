#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "browse/freeze_rule.h"

namespace pluvik {

// The program's own pages, which stand in for a page that stopped.
enum class OwnPage {
    Stopped,  // the watchdog ended the page's renderer because this page hung it
    Crashed,  // the renderer ended by itself, in front of the user or again right after a reload
};

// What the view does for a page, in the order given.
enum class PageAction {
    Load,            // load `address` in the page (a recovery: not a navigation of the user's)
    Navigate,        // navigate to `address` as a caller would
    ShowOwnPage,     // show the program's own page of `ownPage` kind for `address`
    StartTimer,      // call `due` once `delayMs` have passed (one timer: a new start replaces it)
    Freeze,          // freeze the page (no scripts, no timers) unless it is frozen already
    Wake,            // make the page active unless it is already
    ForgetQuestion,  // the watchdog's open question to the page is not waited for any more
    RendererWorked,  // the page's renderer did something for it (the watchdog's clue)
};

struct PageStep {
    PageAction action;
    std::string address;
    int delayMs = 0;
    OwnPage ownPage = OwnPage::Crashed;
    bool operator==(const PageStep&) const = default;
};
using PageSteps = std::vector<PageStep>;

// How a load ended, as the engine reports it.
struct LoadOutcome {
    bool ok = false;
    int httpStatus = 0;   // the server's status, 0 when none came
    int errorDomain = 0;  // the engine's error domain and code, 0 when it gave none
    int errorCode = 0;
    std::string url;  // the address the load ended on
};

// How a renderer's end is met.
enum class Recovery {
    Stopped,          // the program's page "stopped": the page hung its process
    Crashed,          // the program's page "crashed"
    Reload,           // loaded again shortly
    ReloadWhenShown,  // loaded again when the user next looks at it
};

// What the view knows of a renderer's end.
struct RendererEnd {
    std::int64_t pid = 0;
    bool endedByWatchdog = false;
    std::string requestedAddress;  // what the page was loading, if anything
    std::string shownAddress;      // what the page showed
};

struct RendererEndDecision {
    Recovery recovery;
    std::string address;  // the page that recovers
    PageSteps steps;
};

// Where a new window a page asked for goes.
enum class NewWindowTarget {
    None,       // the routing gave no browser: the desktop's web browser
    WebPage,    // a browser of the program that adopts the engine's new page
    OtherView,  // a browser that can only be navigated to the address
};
enum class NewWindowStep {
    AskRouting,      // the request may go on: ask the routing where
    Adopt,           // the target takes the engine's new page
    NavigateTarget,  // the target is navigated to the address
    OpenOnDesktop,   // the desktop's web browser opens the address
    Refuse,          // nothing opens
};

// The rules of one page of the program (a result tab, a secondary window's tab), without the engine:
// the view reports what happens to the page and carries out the steps returned. Times are
// milliseconds of one steady clock the caller reads (`now`).
class PageSession {
public:
    // The engine is still tidying up a dead process when it reports its end: a page loaded at once
    // would go to the dying process and die with it.
    static constexpr int kRecoveryDelayMs = 500;
    // A page whose renderer dies again this soon after it was loaded again is not loaded a third time.
    static constexpr int kRecoveryGuardMs = 20000;

    // The caller sends the page to `address` (a search, a link, an address box).
    PageSteps navigate(const std::string& address);
    // Refresh: the address to navigate to again (the page the program's own page stands in for, or
    // the page waiting to load again); none, the engine reloads the page after `use`.
    std::optional<std::string> refreshAddress() const;
    // The program is about to do something with the page (save, print, back, forward, refresh).
    PageSteps use();
    // Back and forward leave the program's own page.
    PageSteps leaveOwnPage();

    PageSteps loadStarted();
    // A load ends. When the page was sent elsewhere while a load was under way and this one ended on
    // that load's address, not the latest, it is the overtaken load that ended on its own (the engine does not call
    // back a load it is already committing): the page goes on loading its latest address, and
    // `loading()` stays true.
    // `watchdogEndedJustNow`: the watchdog ended some process a moment ago, so a failed load most
    // likely went to it.
    PageSteps loadFinished(const LoadOutcome& outcome, bool watchdogEndedJustNow, std::int64_t now);
    // A title of its own means the renderer parsed the page's document (`address`: the page's, in
    // the spellings the engine may show for it).
    PageSteps titleChanged(const std::string& title, const std::vector<std::string>& address);
    PageSteps rendererStarted();
    RendererEndDecision rendererEnded(const RendererEnd& end, std::int64_t now);
    // The watchdog found this page hanging its process, which it is about to end.
    void markHung() { m_hung = true; }
    PageSteps shown(std::int64_t now);
    PageSteps hidden();
    // The page whose renderer ended while it was hidden is wanted now, hidden still (its save or
    // print): it loads again as it would when shown. Nothing happens when no such load waits.
    PageSteps reloadNow(std::int64_t now);
    PageSteps printStarted();
    PageSteps printFinished();
    // The view took a fresh page from the engine: the new window a page asked for.
    PageSteps adoptNewWindow();
    // The timer asked for by StartTimer has run out.
    PageSteps due(std::int64_t now);

    NewWindowStep newWindowRequested(bool userActivated) const;
    NewWindowStep newWindowRouted(NewWindowTarget target, const std::string& address) const;

    bool hasPage() const { return m_hasPage; }
    // From the moment the page is sent somewhere until its latest load ends.
    bool loading() const { return m_loading; }
    // The address the program's own page stands in for; empty while a real page shows.
    const std::string& ownPageFor() const { return m_ownPageFor; }
    // The address that loads again when the page is next shown (or reloadNow); empty when none waits.
    const std::string& reloadWhenShown() const { return m_reloadWhenShown; }
    // How the latest load ended; none before the first.
    const std::optional<LoadOutcome>& lastOutcome() const { return m_lastOutcome; }

private:
    // What the timer is for.
    enum class Deferred { None, Recover, OwnPage, Retry };

    bool recoveredRecently(std::int64_t now) const;
    bool rendererEndedWithin(std::int64_t now, int ms) const;
    void recover(const std::string& address, std::int64_t now, PageSteps& steps);
    void sent(const std::string& address);
    void defer(Deferred what, const std::string& address, OwnPage kind, int delayMs, std::int64_t now,
               PageSteps& steps);
    void settle(PageSteps& steps) const;
    PageSteps settled() const;

    FreezeRule m_freeze;
    bool m_visible = false;
    bool m_hasPage = false;
    bool m_loading = false;
    bool m_hung = false;
    std::string m_ownPageFor;
    // The address last asked for, until its page has loaded: a renderer that dies before the page
    // has come must not send the tab back to the page before.
    std::string m_pendingAddress;
    // The address of the load under way when the page was sent elsewhere: that load may still end
    // on its own. Empty when none was.
    std::string m_overtakenAddress;
    std::string m_reloadWhenShown;
    std::optional<std::int64_t> m_recoveredAt;
    std::optional<std::int64_t> m_rendererEndedAt;
    std::optional<LoadOutcome> m_lastOutcome;

    Deferred m_deferred = Deferred::None;
    std::string m_deferredAddress;
    OwnPage m_deferredKind = OwnPage::Crashed;
    std::int64_t m_dueAt = 0;
};

}  // namespace pluvik

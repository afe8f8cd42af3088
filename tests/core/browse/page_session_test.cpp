#include "browse/page_session.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pluvik;

namespace {

const std::string kResult = "http://result.test/s?wd=abc";
const std::string kNext = "http://result.test/s?wd=def";

bool has(const PageSteps& steps, PageAction action) {
    return std::any_of(steps.begin(), steps.end(),
                       [action](const PageStep& s) { return s.action == action; });
}

// The step of that kind, or one that names no address and no delay.
PageStep find(const PageSteps& steps, PageAction action) {
    for (const PageStep& s : steps)
        if (s.action == action) return s;
    return {action, "(none)", -1};
}

// A page that has loaded `kResult`, on screen or not.
PageSession loadedPage(bool visible, std::int64_t now = 0) {
    PageSession page;
    visible ? page.shown(now) : page.hidden();
    page.navigate(kResult);
    page.rendererStarted();
    page.loadStarted();
    page.loadFinished({true, 200, 0, 0, kResult}, false, now);
    return page;
}

RendererEnd crash(bool byWatchdog = false) {
    return {42, byWatchdog, {}, kResult};
}

TEST(PageSessionTest, ACrashOnScreenShowsTheCrashedPageHalfASecondLater) {
    PageSession page = loadedPage(true, 1000);
    const RendererEndDecision end = page.rendererEnded(crash(), 2000);
    EXPECT_EQ(end.recovery, Recovery::Crashed);
    EXPECT_EQ(end.address, kResult);
    EXPECT_EQ(find(end.steps, PageAction::StartTimer).delayMs, 500);
    // A timer that comes early only waits on.
    EXPECT_FALSE(has(page.due(2499), PageAction::ShowOwnPage));
    const PageSteps shown = page.due(2500);
    EXPECT_EQ(find(shown, PageAction::ShowOwnPage),
              (PageStep{PageAction::ShowOwnPage, kResult, 0, OwnPage::Crashed}));
    // The program's own page stands in for the address: refresh and a second crash go back to it.
    EXPECT_EQ(page.ownPageFor(), kResult);
    EXPECT_EQ(page.refreshAddress(), kResult);
    EXPECT_EQ(page.rendererEnded({43, false, {}, "about:blank"}, 3000).address, kResult);
}

TEST(PageSessionTest, AHiddenPageLoadsAgainWhenItIsNextShownOnce) {
    PageSession page = loadedPage(false);
    const RendererEndDecision end = page.rendererEnded(crash(), 10000);
    EXPECT_EQ(end.recovery, Recovery::ReloadWhenShown);
    EXPECT_FALSE(has(end.steps, PageAction::StartTimer));
    EXPECT_FALSE(has(page.due(20000), PageAction::Load));
    EXPECT_EQ(page.reloadWhenShown(), kResult);

    // Shown at once after the end, it waits for the engine to let go of the dead process.
    PageSession soon = loadedPage(false);
    soon.rendererEnded(crash(), 10000);
    EXPECT_EQ(find(soon.shown(10100), PageAction::StartTimer).delayMs, 400);
    EXPECT_EQ(find(soon.due(10500), PageAction::Load).address, kResult);

    // Shown later, it loads there and then, and only once.
    EXPECT_EQ(find(page.shown(30000), PageAction::Load).address, kResult);
    page.hidden();
    EXPECT_FALSE(has(page.shown(31000), PageAction::Load));

    // Wanted while still hidden (saved, printed), it loads as it would when shown, and only once.
    PageSession saved = loadedPage(false);
    saved.rendererEnded(crash(), 10000);
    EXPECT_EQ(find(saved.reloadNow(30000), PageAction::Load).address, kResult);
    EXPECT_TRUE(saved.reloadWhenShown().empty());
    EXPECT_FALSE(has(saved.reloadNow(31000), PageAction::Load));
    EXPECT_FALSE(has(saved.shown(32000), PageAction::Load));
}

TEST(PageSessionTest, APageThatDiesAgainRightAfterItsReloadIsNotLoadedAThirdTime) {
    PageSession page = loadedPage(false);
    page.rendererEnded(crash(), 0);
    page.shown(1000);  // reloaded at 1000
    page.hidden();
    EXPECT_EQ(page.rendererEnded(crash(), 20999).recovery, Recovery::Crashed);
    EXPECT_TRUE(has(page.due(21499), PageAction::ShowOwnPage));

    PageSession later = loadedPage(false);
    later.rendererEnded(crash(), 0);
    later.shown(1000);
    later.hidden();
    EXPECT_EQ(later.rendererEnded(crash(), 21000).recovery, Recovery::ReloadWhenShown);
}

TEST(PageSessionTest, TheWatchdogsEndStopsTheCulpritAndReloadsTheOthersAtOnce) {
    PageSession culprit = loadedPage(false);
    culprit.markHung();
    const RendererEndDecision stopped = culprit.rendererEnded(crash(true), 0);
    EXPECT_EQ(stopped.recovery, Recovery::Stopped);
    EXPECT_EQ(find(culprit.due(500), PageAction::ShowOwnPage).ownPage, OwnPage::Stopped);

    // A neighbour, hidden or not, was not to blame: it goes back to work without waiting to be shown.
    PageSession neighbour = loadedPage(false);
    EXPECT_EQ(neighbour.rendererEnded(crash(true), 0).recovery, Recovery::Reload);
    EXPECT_EQ(find(neighbour.due(500), PageAction::Load).address, kResult);
}

TEST(PageSessionTest, TheAddressOnItsWayIsRestoredNotThePageBefore) {
    // Sent on before the engine started the load: the engine still names the page before.
    PageSession page = loadedPage(true);
    page.navigate(kNext);
    EXPECT_EQ(page.rendererEnded({42, true, {}, kResult}, 200).address, kNext);
    // Nothing pending: what the page was loading when its renderer ended, else what it showed.
    PageSession loading = loadedPage(true);
    loading.loadStarted();
    EXPECT_EQ(loading.rendererEnded({42, true, kNext, kResult}, 0).address, kNext);
    PageSession idle = loadedPage(true);
    EXPECT_EQ(idle.rendererEnded({42, true, kNext, kResult}, 0).address, kResult);
}

TEST(PageSessionTest, ALoadLostInAProcessTheWatchdogEndedIsAskedForOnceMore) {
    auto failedLoad = [](PageSession& page, std::int64_t now, bool watchdogJustEnded) {
        page.navigate(kNext);
        page.loadStarted();
        return page.loadFinished({false, 0, 2, -3, kNext}, watchdogJustEnded, now);
    };
    PageSession page = loadedPage(true);
    EXPECT_EQ(find(failedLoad(page, 1000, true), PageAction::StartTimer).delayMs, 500);
    EXPECT_EQ(find(page.due(1500), PageAction::Navigate).address, kNext);
    // Twice in a row it is not retried: the guard holds.
    EXPECT_FALSE(has(failedLoad(page, 2000, true), PageAction::StartTimer));
    // Nothing when no process was ended, and nothing when the page's own renderer ended since: its end
    // looks after it.
    PageSession plain = loadedPage(true);
    EXPECT_FALSE(has(failedLoad(plain, 1000, false), PageAction::StartTimer));
    // A page whose own renderer ended just before (half a second) or after is looked after by its end.
    for (const auto& [loadFailedAt, retried] : {std::pair{1400, false}, std::pair{1600, true}}) {
        PageSession endedBefore = loadedPage(true);
        endedBefore.rendererEnded(crash(true), 1000);
        EXPECT_EQ(has(failedLoad(endedBefore, loadFailedAt, true), PageAction::StartTimer), retried);
    }
    PageSession endedAfter = loadedPage(true);
    failedLoad(endedAfter, 1000, true);
    endedAfter.rendererEnded(crash(true), 1000);
    const PageSteps recovered = endedAfter.due(1520);
    EXPECT_FALSE(has(recovered, PageAction::Navigate));
    EXPECT_EQ(find(recovered, PageAction::ShowOwnPage).address, kNext);
}

TEST(PageSessionTest, APageSentOnStaysAwakeUntilItsLatestLoadEnds) {
    // Hidden after it was sent but before the engine began: not frozen under the load.
    PageSession page = loadedPage(true);
    page.navigate(kResult);
    EXPECT_TRUE(page.loading());
    EXPECT_TRUE(has(page.hidden(), PageAction::Wake));
    // Sent on while loading, the load before ends on its own: still loading, still awake.
    page.loadStarted();
    page.navigate(kNext);
    EXPECT_TRUE(has(page.loadFinished({true, 200, 0, 0, kResult}, false, 0), PageAction::Wake));
    EXPECT_TRUE(page.loading());
    EXPECT_TRUE(has(page.hidden(), PageAction::Wake));
    EXPECT_TRUE(has(page.loadFinished({true, 200, 0, 0, kNext}, false, 0), PageAction::Freeze));
    EXPECT_FALSE(page.loading());
    // When the engine drops the load before, the latest one's end counts, in the engine's spelling or
    // where it was redirected.
    for (const char* ended : {"http://next.test/", "http://moved.test/"}) {
        PageSession dropped = loadedPage(false);
        dropped.navigate("http://result.test");
        dropped.loadStarted();
        dropped.navigate("http://next.test");
        EXPECT_TRUE(has(dropped.loadFinished({true, 200, 0, 0, ended}, false, 0), PageAction::Freeze)) << ended;
    }
}

TEST(PageSessionTest, ANavigationOvertakesARecoveryStillWaiting) {
    PageSession page = loadedPage(true);
    page.rendererEnded(crash(), 0);
    page.navigate(kNext);
    EXPECT_TRUE(page.due(500).empty());
    EXPECT_TRUE(page.ownPageFor().empty());
    PageSession hidden = loadedPage(false);
    hidden.rendererEnded(crash(), 0);
    hidden.navigate(kNext);
    EXPECT_FALSE(has(hidden.shown(5000), PageAction::Load));
}

TEST(PageSessionTest, OnlyTheUserOpensWindowsAndTheDesktopGetsWebAddressesOnly) {
    const PageSession page;
    EXPECT_EQ(page.newWindowRequested(false), NewWindowStep::Refuse);
    EXPECT_EQ(page.newWindowRequested(true), NewWindowStep::AskRouting);
    EXPECT_EQ(page.newWindowRouted(NewWindowTarget::WebPage, "mailto:a@b.test"), NewWindowStep::Adopt);
    EXPECT_EQ(page.newWindowRouted(NewWindowTarget::OtherView, kResult), NewWindowStep::NavigateTarget);
    EXPECT_EQ(page.newWindowRouted(NewWindowTarget::None, "HTTPS://web.test/"), NewWindowStep::OpenOnDesktop);
    for (const char* other : {"mailto:a@b.test", "file:///etc/passwd", "http:", "javascript:alert(1)"})
        EXPECT_EQ(page.newWindowRouted(NewWindowTarget::None, other), NewWindowStep::Refuse) << other;
}

TEST(PageSessionTest, AHiddenLoadedPageFreezesAndWhatTheProgramDoesWakesIt) {
    PageSession page = loadedPage(false);
    EXPECT_TRUE(has(page.hidden(), PageAction::Freeze));
    EXPECT_TRUE(has(page.use(), PageAction::Wake));
    EXPECT_TRUE(has(page.hidden(), PageAction::Freeze));
    page.use();
    page.printStarted();
    EXPECT_TRUE(has(page.hidden(), PageAction::Wake));
    EXPECT_TRUE(has(page.printFinished(), PageAction::Freeze));
    EXPECT_TRUE(has(page.shown(0), PageAction::Wake));
    // The program's own page stays awake, hidden or not.
    page.markHung();
    page.rendererEnded(crash(true), 0);
    page.due(500);
    page.rendererStarted();
    page.loadStarted();
    page.loadFinished({true, 0, 0, 0, "about:blank"}, false, 600);
    EXPECT_TRUE(has(page.hidden(), PageAction::Wake));
}

}  // namespace

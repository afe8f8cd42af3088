#include "browse/page_session.h"

#include <string_view>
#include <utility>

#include "browse/page_address.h"
#include "windows/open_link_decision.h"

namespace pluvik {

namespace {

PageStep step(PageAction action, std::string address = {}) {
    return {action, std::move(address)};
}

// The engine writes a bare host's address with the slash of its root.
bool sameAddress(std::string_view a, std::string_view b) {
    if (a.size() > b.size()) std::swap(a, b);
    return a == b || (b.size() == a.size() + 1 && b.back() == '/' && b.substr(0, a.size()) == a);
}

}  // namespace

bool PageSession::recoveredRecently(std::int64_t now) const {
    return m_recoveredAt && now - *m_recoveredAt < kRecoveryGuardMs;
}

bool PageSession::rendererEndedWithin(std::int64_t now, int ms) const {
    return m_rendererEndedAt && now - *m_rendererEndedAt < ms;
}

void PageSession::settle(PageSteps& steps) const {
    steps.push_back(step(m_freeze.frozen() ? PageAction::Freeze : PageAction::Wake));
}

PageSteps PageSession::settled() const {
    PageSteps steps;
    settle(steps);
    return steps;
}

void PageSession::defer(Deferred what, const std::string& address, OwnPage kind, int delayMs,
                        std::int64_t now, PageSteps& steps) {
    m_deferred = what;
    m_deferredAddress = address;
    m_deferredKind = kind;
    m_dueAt = now + delayMs;
    PageStep timer = step(PageAction::StartTimer);
    timer.delayMs = delayMs;
    steps.push_back(timer);
}

// A page sent somewhere is loading from that moment, before the engine says so: hidden meanwhile it
// must not be frozen, or the engine may never go on with the load.
void PageSession::sent(const std::string& address) {
    if (m_loading && m_overtakenAddress.empty()) m_overtakenAddress = m_pendingAddress;
    m_loading = true;
    m_freeze.loadStarted();
    m_ownPageFor.clear();
    m_freeze.setOwnPage(false);
    m_pendingAddress = address;
    m_freeze.use();
}

void PageSession::recover(const std::string& address, std::int64_t now, PageSteps& steps) {
    m_recoveredAt = now;
    sent(address);
    settle(steps);
    steps.push_back(step(PageAction::Load, address));
}

PageSteps PageSession::navigate(const std::string& address) {
    m_hasPage = true;
    sent(address);
    m_reloadWhenShown.clear();
    // What the page was waiting for (a recovery, a retry) is overtaken by where it is sent now.
    m_deferred = Deferred::None;
    return settled();
}

std::optional<std::string> PageSession::refreshAddress() const {
    if (!m_ownPageFor.empty()) return m_ownPageFor;
    if (!m_reloadWhenShown.empty()) return m_reloadWhenShown;
    return std::nullopt;
}

PageSteps PageSession::use() {
    m_freeze.use();
    return settled();
}

PageSteps PageSession::leaveOwnPage() {
    m_ownPageFor.clear();
    m_freeze.setOwnPage(false);
    return use();
}

PageSteps PageSession::loadStarted() {
    m_loading = true;
    m_freeze.loadStarted();
    PageSteps steps;
    settle(steps);
    steps.push_back(step(PageAction::ForgetQuestion));
    return steps;
}

PageSteps PageSession::loadFinished(const LoadOutcome& outcome, bool watchdogEndedJustNow, std::int64_t now) {
    const std::string overtaken = std::move(m_overtakenAddress);
    m_overtakenAddress.clear();
    // Only the overtaken load's own address marks its end: the latest may end where it was redirected.
    if (!overtaken.empty() && sameAddress(outcome.url, overtaken) &&
        !sameAddress(outcome.url, m_pendingAddress)) {
        // Settling here would freeze a hidden page with its latest load still on the way, and a
        // frozen page never takes that load in.
        PageSteps steps;
        if (outcome.ok) steps.push_back(step(PageAction::RendererWorked));
        steps.push_back(step(PageAction::ForgetQuestion));
        settle(steps);
        return steps;
    }
    m_loading = false;
    m_lastOutcome = outcome;
    m_freeze.loadFinished(outcome.ok);
    PageSteps steps;
    if (outcome.ok) {
        m_pendingAddress.clear();
        steps.push_back(step(PageAction::RendererWorked));
    }
    steps.push_back(step(PageAction::ForgetQuestion));
    settle(steps);
    // A page on its way into a process the watchdog has just ended never arrives, and the page hears
    // of no dead renderer of its own: it asks once more. A page whose own renderer ended is looked
    // after by rendererEnded, whichever of the two reports comes first: a second load here would
    // bring a stopped page back, to hang its next process too.
    if (!outcome.ok && watchdogEndedJustNow && !rendererEndedWithin(now, kRecoveryDelayMs) &&
        !m_pendingAddress.empty() && !recoveredRecently(now)) {
        m_recoveredAt = now;
        defer(Deferred::Retry, m_pendingAddress, OwnPage::Crashed, kRecoveryDelayMs, now, steps);
    }
    return steps;
}

PageSteps PageSession::titleChanged(const std::string& title, const std::vector<std::string>& address) {
    if (!hasOwnTitle(title, address)) return {};
    return {step(PageAction::RendererWorked)};
}

PageSteps PageSession::rendererStarted() {
    m_freeze.setRenderer(true);
    return {step(PageAction::ForgetQuestion)};
}

RendererEndDecision PageSession::rendererEnded(const RendererEnd& end, std::int64_t now) {
    m_rendererEndedAt = now;
    m_freeze.setRenderer(false);
    const bool hung = m_hung;
    m_hung = false;
    const bool wasLoading = m_loading;
    m_loading = false;
    m_overtakenAddress.clear();
    RendererEndDecision decision{Recovery::Reload, {}, {step(PageAction::ForgetQuestion)}};
    decision.address = !m_ownPageFor.empty()                         ? m_ownPageFor
                       : !m_pendingAddress.empty()                   ? m_pendingAddress
                       : wasLoading && !end.requestedAddress.empty() ? end.requestedAddress
                                                                     : end.shownAddress;
    if (hung) {
        decision.recovery = Recovery::Stopped;
    } else if (recoveredRecently(now) || (!end.endedByWatchdog && m_visible)) {
        // In front of the user a crash is shown, as any browser shows it, not hidden by a reload; and
        // a page that dies again soon after it was loaded again would die over and over.
        decision.recovery = Recovery::Crashed;
    } else if (!end.endedByWatchdog) {
        // One crashing page must not send every hidden page of its process to its server again at
        // once: each loads again when the user looks at it. A page the watchdog's end cut off goes
        // back to work at once, as the pages that were not to blame.
        decision.recovery = Recovery::ReloadWhenShown;
    }
    if (!m_hasPage) return decision;
    switch (decision.recovery) {
        case Recovery::Stopped:
        case Recovery::Crashed:
            defer(Deferred::OwnPage, decision.address,
                  decision.recovery == Recovery::Stopped ? OwnPage::Stopped : OwnPage::Crashed,
                  kRecoveryDelayMs, now, decision.steps);
            break;
        case Recovery::Reload:
            defer(Deferred::Recover, decision.address, OwnPage::Crashed, kRecoveryDelayMs, now,
                  decision.steps);
            break;
        case Recovery::ReloadWhenShown:
            m_deferred = Deferred::None;
            m_reloadWhenShown = decision.address;
            break;
    }
    return decision;
}

PageSteps PageSession::shown(std::int64_t now) {
    m_visible = true;
    m_freeze.setVisible(true);
    return reloadNow(now);
}

PageSteps PageSession::reloadNow(std::int64_t now) {
    PageSteps steps;
    if (!m_reloadWhenShown.empty()) {
        const std::string address = std::move(m_reloadWhenShown);
        m_reloadWhenShown.clear();
        const std::int64_t left = m_rendererEndedAt ? *m_rendererEndedAt + kRecoveryDelayMs - now : 0;
        if (left > 0) {
            settle(steps);
            defer(Deferred::Recover, address, OwnPage::Crashed, static_cast<int>(left), now, steps);
        } else {
            recover(address, now, steps);
        }
        return steps;
    }
    settle(steps);
    return steps;
}

PageSteps PageSession::hidden() {
    m_visible = false;
    m_freeze.setVisible(false);
    return settled();
}

PageSteps PageSession::printStarted() {
    m_freeze.printStarted();
    return {};
}

PageSteps PageSession::printFinished() {
    m_freeze.printFinished();
    return settled();
}

PageSteps PageSession::adoptNewWindow() {
    m_hasPage = true;
    m_loading = false;
    m_overtakenAddress.clear();
    m_freeze = FreezeRule{};
    m_freeze.setVisible(m_visible);
    m_freeze.setOwnPage(!m_ownPageFor.empty());
    return {step(PageAction::ForgetQuestion)};
}

PageSteps PageSession::due(std::int64_t now) {
    PageSteps steps;
    if (m_deferred == Deferred::None) return steps;
    if (now < m_dueAt) {
        PageStep timer = step(PageAction::StartTimer);
        timer.delayMs = static_cast<int>(m_dueAt - now);
        steps.push_back(timer);
        return steps;
    }
    const Deferred what = m_deferred;
    m_deferred = Deferred::None;
    const std::string address = m_deferredAddress;
    switch (what) {
        case Deferred::Recover:
            recover(address, now, steps);
            break;
        case Deferred::OwnPage:
            m_recoveredAt.reset();
            m_ownPageFor = address.empty() ? std::string("about:blank") : address;
            m_freeze.setOwnPage(true);
            steps.push_back({PageAction::ShowOwnPage, address, 0, m_deferredKind});
            settle(steps);
            break;
        case Deferred::Retry:
            // Had the page's own renderer ended meanwhile, its end would have taken the timer.
            steps.push_back(step(PageAction::Navigate, address));
            break;
        case Deferred::None:
            break;
    }
    return steps;
}

NewWindowStep PageSession::newWindowRequested(bool userActivated) const {
    // Only the user opens windows: a page that opens them by itself (on load, from a timer) gets
    // none, however often it asks.
    return userActivated ? NewWindowStep::AskRouting : NewWindowStep::Refuse;
}

NewWindowStep PageSession::newWindowRouted(NewWindowTarget target, const std::string& address) const {
    switch (target) {
        case NewWindowTarget::WebPage:
            return NewWindowStep::Adopt;
        case NewWindowTarget::OtherView:
            return NewWindowStep::NavigateTarget;
        case NewWindowTarget::None:
            break;
    }
    // The desktop gets web addresses only: anything else would start whatever handler the desktop
    // has for it.
    return isWebAddress(address) ? NewWindowStep::OpenOnDesktop : NewWindowStep::Refuse;
}

}  // namespace pluvik

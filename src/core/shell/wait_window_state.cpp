#include "shell/wait_window_state.h"

namespace pluvik {

namespace {

constexpr const char* kStatusOpened = "已打开";

}  // namespace

WaitSteps WaitWindowState::show() {
    if (m_open) return {};
    m_open = true;
    m_pagesOpened = false;
    m_closeRequested = false;
    m_timerRunning = false;
    // Loading the window disables the main window before it appears.
    return {{WaitAction::DisableMain}, {WaitAction::OpenWindow}};
}

void WaitWindowState::searchStarted(std::uint32_t tick) {
    m_awaiting = true;
    m_deadlineDue = true;
    m_searchTick = tick;
}

std::optional<std::uint32_t> WaitWindowState::deadlineLeft(std::uint32_t now) const {
    if (!m_deadlineDue) return std::nullopt;
    // Unsigned differences stay right across the counter's wrap.
    const std::uint32_t passed = now - m_searchTick;
    return passed >= kPagesOpenedDeadlineMs ? 0 : kPagesOpenedDeadlineMs - passed;
}

WaitSteps WaitWindowState::checkDeadline(std::uint32_t now) {
    if (deadlineLeft(now) != 0u) return {};
    m_deadlineDue = false;
    WaitSteps steps{{WaitAction::PassDeadline}};
    if (!m_awaiting) return steps;
    for (WaitStep& step : signalPagesOpened()) steps.push_back(std::move(step));
    return steps;
}

WaitSteps WaitWindowState::signalPagesOpened() {
    m_awaiting = false;
    WaitSteps steps{{WaitAction::SetStatus, kStatusOpened}};
    if (m_open) m_pagesOpened = true;
    steps.push_back({WaitAction::EnableMain});
    if (m_open) {
        m_closeRequested = true;
        // The signal comes for every download of tab 15; a running timer keeps its count, so the
        // window still goes within 2000 ms of the first signal.
        if (!m_timerRunning) {
            m_timerRunning = true;
            steps.push_back({WaitAction::StartTimer});
        }
    }
    steps.push_back({WaitAction::SetStatus, kStatusOpened});
    // Nobody needs the answer any more: the question goes as if answered "Cancel", and the close
    // it belongs to then finds the pages opened.
    if (m_asking) steps.push_back({WaitAction::DismissQuestion});
    return steps;
}

WaitSteps WaitWindowState::tick() {
    if (!m_open || !m_timerRunning || !m_closeRequested) return {};
    WaitSteps steps = finishClose(std::nullopt);
    if (m_timerRunning) steps.push_back({WaitAction::StopTimer});
    m_timerRunning = false;
    steps.push_back({WaitAction::EnableMain});
    return steps;
}

std::optional<StopQuestion> WaitWindowState::beginClose() {
    if (!m_open || m_pagesOpened || m_asking) return std::nullopt;
    m_asking = true;
    return StopQuestion{"要停止打开网页吗？", "停止确认"};
}

WaitSteps WaitWindowState::finishClose(std::optional<CloseAnswer> answer) {
    m_asking = false;
    if (!m_open) return {};
    WaitSteps steps;
    if (answer == CloseAnswer::Ok) {
        // The search is stopped: no deadline turns it into "opened", nor its pages into slow ones.
        m_awaiting = false;
        m_deadlineDue = false;
        steps.push_back({WaitAction::StopResultTabs});
        steps.push_back({WaitAction::EnableMain});
        steps.push_back({WaitAction::SetStatus, "已停止打开"});
    }
    // Checked again after the answer: the signal may have come while the question was up.
    if (m_pagesOpened) {
        steps.push_back({WaitAction::EnableMain});
        steps.push_back({WaitAction::SetStatus, kStatusOpened});
    }
    close(steps);
    return steps;
}

void WaitWindowState::close(WaitSteps& steps) {
    steps.push_back({WaitAction::CloseWindow});
    // The timer belongs to the window and goes with it.
    if (m_timerRunning) steps.push_back({WaitAction::StopTimer});
    m_open = false;
    m_pagesOpened = false;
    m_closeRequested = false;
    m_timerRunning = false;
}

}  // namespace pluvik

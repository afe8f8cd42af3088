#include "search/tray_logic.h"

namespace pluvik {

namespace {

constexpr const char* kTrayTooltipShown = "Pluvik";
constexpr const char* kTrayTooltipHidden = "点击恢复窗口";
constexpr const char* kFlashBlank = "闪烁";
constexpr const char* kFlashGuard = "1";

}  // namespace

void TrayLogic::install() {
    m_present = true;
    m_blank = false;
    m_tooltip = kTrayTooltipShown;
}

TrayCommand TrayLogic::hide() {
    m_blinking = true;
    m_tooltip = kTrayTooltipHidden;
    return TrayCommand::HideWindow;
}

TrayCommand TrayLogic::show() {
    m_blinking = false;
    m_tooltip = kTrayTooltipShown;
    m_blank = false;
    return TrayCommand::ShowWindow;
}

TrayCommand TrayLogic::leftClick(WindowState state) {
    TrayCommand command = TrayCommand::None;
    if (state == WindowState::Normal) {
        command = hide();
        state = WindowState::Minimized;
        m_flash = kFlashGuard;
    }
    // The guard keeps the click that has just hidden the window from showing it again at once.
    if (m_flash != kFlashGuard && state == WindowState::Minimized) command = show();
    return command;
}

const TrayMenuEntries& TrayLogic::rightClick(WindowState state) {
    if (state == WindowState::Normal) m_menu = {true, true, false};
    if (state == WindowState::Minimized) m_menu = {false, false, true};
    return m_menu;
}

void TrayLogic::blinkTick() {
    if (!m_blinking) return;
    if (!m_flash.empty()) {
        m_blank = false;
        m_flash.clear();
    } else {
        m_blank = true;
        m_flash = kFlashBlank;
    }
}

}  // namespace pluvik

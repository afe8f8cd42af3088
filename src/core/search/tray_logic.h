#pragma once

#include <string>

namespace pluvik {

// The main window's state as the tray sees it. A window hidden into the tray is Minimized.
enum class WindowState { Normal, Minimized, Maximized };

// While the window is in the tray its icon blinks: on, off, each this long (Timer3).
inline constexpr int kTrayBlinkMs = 400;

// What the main window has to do after a tray operation.
enum class TrayCommand { None, HideWindow, ShowWindow };

// Visibility of the three tray menu entries that depend on the window state.
struct TrayMenuEntries {
    bool search = true;   // sousuocaidan "搜索(&G)"
    bool hide = true;     // mnuTrayMinimize "隐藏界面(&U)"
    bool restore = true;  // mnuTrayRestore "显示界面(&V)"
    bool operator==(const TrayMenuEntries&) const = default;
};

// The tray icon, its tooltip, the blink timer Timer3 and its flash state. The window carries out
// the returned command, then shows tooltip(), iconBlank() and blinkTimerRunning() as they are.
class TrayLogic {
public:
    // Puts the icon up with the window's icon and the tooltip "Pluvik".
    void install();
    // Takes the icon out of the notification area (exit, switch to the mini window).
    void remove() { m_present = false; }

    // "隐藏界面(&U)", and what minimising the window does: hide, blink, tooltip "点击恢复窗口".
    TrayCommand hide();
    // "显示界面(&V)": show in the normal state, stop blinking, tooltip "Pluvik", a non-blank icon.
    TrayCommand show();

    // A left click hides a normal window and shows a minimised one. The click that hides stores
    // the guard "1", so a second click before the first blink tick does nothing; a maximised window
    // is left alone.
    TrayCommand leftClick(WindowState state);

    // The entries to show before popping up the tray menu. Maximised keeps the last choice.
    const TrayMenuEntries& rightClick(WindowState state);

    // One tick of Timer3: any flash state shows the icon and clears the state, an empty one blanks
    // the icon and stores "闪烁". Ticks while the timer is stopped change nothing.
    void blinkTick();

    bool iconPresent() const { return m_present; }
    bool iconBlank() const { return m_blank; }
    const std::string& tooltip() const { return m_tooltip; }
    bool blinkTimerRunning() const { return m_blinking; }
    const std::string& flashState() const { return m_flash; }
    const TrayMenuEntries& menuEntries() const { return m_menu; }

private:
    bool m_present = false;
    bool m_blank = false;
    bool m_blinking = false;
    std::string m_tooltip;
    std::string m_flash;
    TrayMenuEntries m_menu;
};

}  // namespace pluvik

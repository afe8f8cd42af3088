#pragma once

#include <QObject>
#include <optional>

#include "search/tray_logic.h"

class QMainWindow;
class QMenu;
class QPoint;
class QSystemTrayIcon;
class QTimer;

namespace pluvik {

class Trace;

// The main window's tray icon TubrTray1: shows what TrayLogic decides (icon, blink on the window's
// Timer3, tooltip, the menu's entries) and carries out its hide and show commands on the window. A
// window minimised goes to the tray.
class TrayController : public QObject {
    Q_OBJECT
public:
    // `menu` is the tray menu mnuTray, filled by the window.
    TrayController(QMainWindow* window, QMenu* menu, Trace& trace);

    const TrayLogic& logic() const { return m_logic; }

    // Whether the window can hide into the tray (there is a notification area to come back from).
    bool available() const;
    void setAvailableForTest(bool available) { m_availableOverride = available; }

    void install();
    void remove();
    void hideWindow();
    void showWindow();
    void leftClick();
    void rightClick(const QPoint& globalPos);
    // The menu's entries for the window as it is.
    void applyMenuEntries();
    // One tick of Timer3; tests call it instead of waiting.
    void blinkTick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();
    void carryOut(TrayCommand command);
    WindowState windowState() const;

    QMainWindow* m_window;
    QTimer* m_blink;
    QMenu* m_menu;
    Trace& m_trace;
    QSystemTrayIcon* m_icon;
    TrayLogic m_logic;
    std::optional<bool> m_availableOverride;
};

}  // namespace pluvik

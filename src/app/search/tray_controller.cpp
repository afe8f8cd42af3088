#include "search/tray_controller.h"

#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include "shell/window_parts.h"

#include "platform/qt_text.h"
#include "platform/trace.h"

namespace pluvik {

TrayController::TrayController(QMainWindow* window, QMenu* menu, Trace& trace)
    : QObject(window),
      m_window(window),
      m_blink(designTimer(window, "Timer3", kTrayBlinkMs)),
      m_menu(menu),
      m_trace(trace),
      m_icon(new QSystemTrayIcon(window)) {
    setObjectName("TrayController");
    m_icon->setObjectName("TubrTray1");
    // The menu is the icon's own: desktops that draw tray menus themselves show it, and the icon
    // opens it on a right click everywhere else. Its entries follow the window each time it opens.
    m_icon->setContextMenu(m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &TrayController::applyMenuEntries);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) leftClick();
    });
    connect(m_blink, &QTimer::timeout, this, &TrayController::blinkTick);
    window->installEventFilter(this);
}

bool TrayController::eventFilter(QObject* watched, QEvent* event) {
    // Without a notification area there would be no way back: the window then minimises as usual.
    if (watched != m_window || event->type() != QEvent::WindowStateChange || !m_window->isMinimized() ||
        !m_window->isVisible() || !available())
        return false;
    // Hiding inside the state-change notification confuses some window managers: do it next.
    QTimer::singleShot(0, this, [this] {
        if (m_window->isMinimized() && m_window->isVisible()) hideWindow();
    });
    return false;
}

bool TrayController::available() const {
    if (m_availableOverride) return *m_availableOverride;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayController::install() {
    m_logic.install();
    apply();
}

void TrayController::remove() {
    m_logic.remove();
    apply();
}

WindowState TrayController::windowState() const {
    if (!m_window->isVisible() || m_window->isMinimized()) return WindowState::Minimized;
    if (m_window->isMaximized()) return WindowState::Maximized;
    return WindowState::Normal;
}

void TrayController::apply() {
    if (!m_logic.iconPresent()) {
        m_icon->hide();
        m_blink->stop();
        return;
    }
    if (m_logic.iconBlank()) {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        m_icon->setIcon(QIcon(blank));
    } else {
        m_icon->setIcon(m_window->windowIcon());
    }
    m_icon->setToolTip(toQ(m_logic.tooltip()));
    m_icon->show();
    if (m_logic.blinkTimerRunning() != m_blink->isActive()) {
        if (m_logic.blinkTimerRunning())
            m_blink->start();
        else
            m_blink->stop();
    }
}

void TrayController::carryOut(TrayCommand command) {
    if (command == TrayCommand::HideWindow) {
        m_window->setWindowState(m_window->windowState() | Qt::WindowMinimized);
        m_window->hide();
    } else if (command == TrayCommand::ShowWindow) {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
    }
    apply();
}

void TrayController::hideWindow() {
    carryOut(m_logic.hide());
    m_trace.record("tray_hidden");
}

void TrayController::showWindow() {
    carryOut(m_logic.show());
    m_trace.record("tray_restored");
}

void TrayController::leftClick() {
    carryOut(m_logic.leftClick(windowState()));
}

void TrayController::applyMenuEntries() {
    const TrayMenuEntries& entries = m_logic.rightClick(windowState());
    m_menu->findChild<QAction*>("sousuocaidan")->setVisible(entries.search);
    m_menu->findChild<QAction*>("mnuTrayMinimize")->setVisible(entries.hide);
    m_menu->findChild<QAction*>("mnuTrayRestore")->setVisible(entries.restore);
}

void TrayController::rightClick(const QPoint& globalPos) {
    applyMenuEntries();
    m_menu->popup(globalPos);
}

void TrayController::blinkTick() {
    m_logic.blinkTick();
    apply();
}

}  // namespace pluvik

// The main window's menus, its tray icon and its exit sequence.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/main_window.h"

namespace pluvik {

QAction* MainWindow::addAction(QMenu* menu, const char* name, const QString& text,
                               const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The shortcuts work wherever the focus is in the window, result pages included.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* sousuo = bar->addMenu(QStringLiteral("搜索(&S)"));
    sousuo->setObjectName("sousuo");
    connect(addAction(sousuo, "start", QStringLiteral("开始搜索"), QKeySequence("Ctrl+G")),
            &QAction::triggered, this, &MainWindow::search);
    addAction(sousuo, "phb", QStringLiteral("搜索排行榜"), QKeySequence("Ctrl+B"));
    addAction(sousuo, "goersou", QStringLiteral("双屏搜索"), QKeySequence("Ctrl+T"));
    addAction(sousuo, "souwrb", QStringLiteral("搜索浏览器"), QKeySequence("Ctrl+W"));
    addAction(sousuo, "delete", QStringLiteral("清理搜索记录"), QKeySequence("Ctrl+D"));
    sousuo->addSeparator();
    addAction(sousuo, "xuanxiang", QStringLiteral("选项"), QKeySequence("Ctrl+X"));
    sousuo->addSeparator();
    addAction(sousuo, "baocunjieguo", QStringLiteral("保存当前结果"), QKeySequence("Ctrl+S"));
    addAction(sousuo, "baocunsuoyoujieguo", QStringLiteral("保存所有结果"), QKeySequence("Ctrl+F11"));
    sousuo->addSeparator();
    addAction(sousuo, "print", QStringLiteral("打印当前结果"), QKeySequence("Ctrl+P"));
    addAction(sousuo, "pointall", QStringLiteral("打印所有结果"), QKeySequence("Ctrl+F12"));
    sousuo->addSeparator();
    connect(addAction(sousuo, "exit", QStringLiteral("退出"), QKeySequence("Ctrl+E")), &QAction::triggered,
            this, &MainWindow::exitProgram);

    QMenu* view = bar->addMenu(QStringLiteral("查看(&V)"));
    view->setObjectName("view");
    QAction* big = addAction(view, "big", QStringLiteral("标准模式"));
    big->setCheckable(true);
    big->setChecked(true);
    connect(big, &QAction::triggered, big, [big] { big->setChecked(true); });  // no command of its own
    addAction(view, "mini", QStringLiteral("Mini模式"));

    QMenu* hp = bar->addMenu(QStringLiteral("帮助(&H)"));
    hp->setObjectName("hp");
    addAction(hp, "help", QStringLiteral("帮助"), QKeySequence("Ctrl+H"));
    hp->addSeparator();
    addAction(hp, "website", QStringLiteral("产品网站"), QKeySequence("F2"));
    addAction(hp, "index", QStringLiteral("官方网站"), QKeySequence("Ctrl+I"));
    addAction(hp, "BUG", QStringLiteral("提交BUG"), QKeySequence("Ctrl+J"));
    hp->addSeparator();
    addAction(hp, "update", QStringLiteral("检查更新"), QKeySequence("Ctrl+U"));
    addAction(hp, "zanzhu", QStringLiteral("赞助我们"), QKeySequence("Ctrl+Z"));
    addAction(hp, "about", QStringLiteral("关于 Pluvik"), QKeySequence("Ctrl+A"));

    // The tab strip's context menu; its commands are wired by the tab management code.
    m_youjian = new QMenu(QStringLiteral("右键"), this);
    m_youjian->setObjectName("youjian");
}

void MainWindow::buildTrayMenu() {
    m_trayMenu = new QMenu(QStringLiteral("Popup"), this);
    m_trayMenu->setObjectName("mnuTray");
    connect(addAction(m_trayMenu, "sousuocaidan", QStringLiteral("搜索(&G)")), &QAction::triggered, this,
            &MainWindow::search);
    addAction(m_trayMenu, "paihang", QStringLiteral("搜索排行榜(&B)"));
    addAction(m_trayMenu, "goerso", QStringLiteral("双屏搜索(&T)"));
    addAction(m_trayMenu, "soub", QStringLiteral("搜索浏览器(&W)"));
    addAction(m_trayMenu, "godelete", QStringLiteral("清理搜索记录(&D)"));
    m_trayMenu->addSeparator()->setObjectName("gang6");
    addAction(m_trayMenu, "xuanxiangcaidan", QStringLiteral("选项(&X)"));
    m_trayMenu->addSeparator()->setObjectName("gang14");
    addAction(m_trayMenu, "guanyucaidan", QStringLiteral("关于(&A)"));
    m_trayMenu->addSeparator()->setObjectName("gangcaidan");
    connect(addAction(m_trayMenu, "mnuTrayRestore", QStringLiteral("显示界面(&V)")), &QAction::triggered,
            this, &MainWindow::showFromTray);
    connect(addAction(m_trayMenu, "mnuTrayMinimize", QStringLiteral("隐藏界面(&U)")), &QAction::triggered,
            this, &MainWindow::hideToTray);
    m_trayMenu->addSeparator()->setObjectName("mnuTraySep");
    connect(addAction(m_trayMenu, "mnuTrayClose", QStringLiteral("退出(&E)")), &QAction::triggered, this,
            &MainWindow::exitProgram);

    m_tray = new TrayController(this, m_timer3, m_trayMenu);
}

void MainWindow::hideToTray() {
    m_tray->hideWindow();
    m_ctx.trace.record("tray_hidden");
}

void MainWindow::showFromTray() {
    m_tray->showWindow();
    m_ctx.trace.record("tray_restored");
}

void MainWindow::trayLeftClick() {
    m_tray->leftClick();
}

void MainWindow::applyTrayMenuEntries() {
    m_tray->applyMenuEntries();
}

void MainWindow::trayRightClick(const QPoint& globalPos) {
    m_tray->rightClick(globalPos);
}

void MainWindow::onTimer3() {
    m_tray->blinkTick();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized() || !isVisible()) return;
    // Without a notification area there would be no way back: the window then minimises as usual.
    if (!trayAvailable()) return;
    // Hiding inside the state-change notification confuses some window managers: do it next.
    QTimer::singleShot(0, this, [this] {
        if (isMinimized() && isVisible()) hideToTray();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    exitProgram();
    event->accept();
}

void MainWindow::exitProgram() {
    if (m_exiting) return;
    m_exiting = true;
    m_ctx.trace.record("exit");
    // 1. The tray icon goes; 2. the wait window will close without asking.
    m_tray->remove();
    m_wait->markExiting();
    // 3. Every window of the program closes with its own close handling.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isWindow()) windows.append(w);
    }
    for (const QPointer<QWidget>& w : windows) {
        if (w && w->isVisible()) w->close();
    }
    m_ctx.browseWindows.closeAll();
    m_wait->close();
    if (isVisible()) QMainWindow::hide();
    // 4. The process ends once the event loop (and any dialog's nested loop) returns.
    QCoreApplication::quit();
}

}  // namespace pluvik

#include "search/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "browse/browse_windows.h"
#include "options/option_rules.h"
#include "platform/app_paths.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/resources.h"
#include "platform/trace.h"
#include "search/tray_controller.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"
#include "shell/window_parts.h"

namespace pluvik {

MainWindow::MainWindow(AppContext context, CleanerStores stores, QWidget* parent)
    : QMainWindow(parent), m_ctx(std::move(context)), m_windows(m_ctx, *this, *this, stores) {
    windowPreamble(this, QStringLiteral("禾朔搜索"), QStringLiteral("Pluvik"));
    // A minimise button and no maximise button; the layout is fixed.
    setWindowFlags(kFixedWindowFlags);
    buildControls();
    buildMenus();
    m_wait = std::make_unique<WaitWindow>(*this, m_ctx.dialogs, m_ctx.trace, this);
    connectEvents();
    load();
    m_timer1->start();  // the clock runs for the life of the window
    onTimer1();
}

MainWindow::~MainWindow() {
    // The controls are deleted after this body, by the widget base, and a page that goes reports the
    // end of its load: that must not reach handlers whose wait window and history are already gone.
    qApp->removeEventFilter(this);
    for (BrowserView* view : m_browsers) view->disconnect(this);
}

void MainWindow::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    pictureBox(client, "Picture1", ":/pluvik/picture1.png", QRect(24, 4, 240, 44));
    pictureBox(client, "Picture2", ":/pluvik/picture2.png", QRect(760, 6, 140, 44));
    pictureBox(client, "Picture3", ":/pluvik/picture3.png", QRect(160, 62, 700, 24));
    placed<QLabel>(client, "Label1", QStringLiteral("请输入关键词："), QRect(280, 16, 84, 12));
    placed<QLabel>(client, "Label5", QStringLiteral("时间："), QRect(8, 56, 36, 17));
    m_label6 = placed<QLabel>(client, "Label6", {}, QRect(40, 56, 105, 17));
    m_label4 = placed<QLabel>(client, "Label4", {}, QRect(80, 72, 65, 17));

    m_combo = new QComboBox(client);
    m_combo->setObjectName("Combo1");
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setGeometry(376, 16, 249, 20);
    m_combo->setMaxVisibleItems(20);
    // The keyword is searched exactly as typed: no completion from the history, which would turn
    // a typed "ab" into an earlier "abc" (or an input method's "北京" into "北京大学") on Enter.
    // The earlier keywords stay in the drop-down list.
    m_combo->setCompleter(nullptr);

    m_command1 = placed<QPushButton>(client, "Command1", QStringLiteral("搜索"), QRect(656, 16, 73, 25));
    m_command1->setDefault(true);

    m_command2 =
        placed<QPushButton>(client, "Command2", QStringLiteral("关闭当前选项卡"), QRect(912, 64, 97, 25));

    m_tabs = new TabStrip(EngineTable::kSlotCount, client);
    m_tabs->setObjectName("SSTab1");
    m_tabs->setGeometry(8, 96, 1001, 569);
    m_tabs->setPageRect(QRect(8, 32, 985, 529));
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        m_tabs->setCaption(tab, toQ(EngineTable::slot(tab).caption));
        BrowserView* view =
            m_ctx.browsers.create(m_tabs->page(tab), QStringLiteral("WebBrowser%1").arg(tab + 1));
        view->setGeometry(0, 0, 985, 529);
        m_browsers[static_cast<size_t>(tab)] = view;
    }

    // Hidden: it only fetches the version page once (frozen once loaded; after a crash it loads
    // again when it is next navigated).
    m_updateBrowser = m_ctx.browsers.create(client, "WBupdate");
    m_updateBrowser->setGeometry(24, 16, 9, 2);
    m_updateBrowser->hide();

    auto* statusBar = new QStatusBar(client);
    statusBar->setObjectName("StatusBar1");
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, 666, 1018, 18);
    m_statusLabel = new QLabel(QStringLiteral("准备工作"), statusBar);
    m_statusLabel->setObjectName("StatusBar1Text");
    statusBar->addWidget(m_statusLabel, 1);

    auto timer = [this](const char* name, int intervalMs) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setInterval(intervalMs);
        return t;
    };
    m_timer1 = timer("Timer1", 1000);
    m_timer2 = timer("Timer2", 1200);
    m_timer4 = timer("Timer4", 3000);
}

void MainWindow::load() {
    // 1. The settings, with the files created from the defaults where missing.
    m_ctx.settings.LoadSettings();
    const Settings settings = m_ctx.settings.current();

    // 2. The user-defined tabs take their names.
    m_tabs->setCaption(EngineTable::kDiy1Tab, toQ(settings.diy1name));
    m_tabs->setCaption(EngineTable::kDiy2Tab, toQ(settings.diy2name));

    // 3. Tab 0 is selected.
    m_tabs->setCurrent(0);

    // 4. Every result tab shows the local start page.
    const QString startPage = startPagePath(m_ctx.programDir);
    for (BrowserView* view : m_browsers) view->Navigate(startPage);

    // 5. The version page, loaded once; nothing reads it.
    m_updateBrowser->Navigate(toQ(serviceAddress(Service::MakerVersionSite)) + EngineTable::kVersionPage);

    // 6. Pages never raise dialogs of their own.
    for (BrowserView* view : m_browsers) view->setSilent(true);

    // 7, 8. Hide the tabs switched off, then show the ones switched on; any other value leaves the
    // tab as it is. With everything switched off one tab stays, as the options dialog said when
    // the choice was made.
    auto onOff = [&settings](int tab) -> int {
        if (tab == EngineTable::kDiy1Tab) return settings.opendiy1;
        if (tab == EngineTable::kDiy2Tab) return settings.opendiy2;
        return settings.engine(tab);
    };
    std::vector<bool> leftAsTheyAre;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        const int value = onOff(tab);
        leftAsTheyAre.push_back(value != 0 && value != 1 && m_tabs->isTabVisible(tab));
    }
    for (const TabOp& op : okOps(settings, leftAsTheyAre).ops) {
        if (op.kind == TabOp::Hide) m_tabs->setTabVisible(op.tab, false);
        if (op.kind == TabOp::Show) m_tabs->setTabVisible(op.tab, true);
    }

    // 9. The tray icon.
    m_tray->install();
}

void MainWindow::setStatusText(const QString& text) {
    if (m_statusLabel->text() == text) return;
    m_statusLabel->setText(text);
    m_ctx.trace.record("status", {{"text", text}});
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        setFixedSize(sizeHint());
        m_combo->setFocus();  // ready for the first keyword
        // Where the keyword box is, on the screen and inside the window, and the window's id, for tests
        // that drive the real program. A window manager may move the window after this: the place
        // inside the window stays right.
        const QPoint centre = m_combo->rect().center();
        const QPoint box = m_combo->mapToGlobal(centre);
        const QPoint inWindow = m_combo->mapTo(this, centre);
        m_ctx.trace.record("main_window_shown", {{"keyword_x", box.x()},
                                                 {"keyword_y", box.y()},
                                                 {"keyword_window_x", inWindow.x()},
                                                 {"keyword_window_y", inWindow.y()},
                                                 {"window_id", QString::number(winId())}});
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized() || !isVisible()) return;
    // Without a notification area there would be no way back: the window then minimises as usual.
    if (!m_tray->available()) return;
    // Hiding inside the state-change notification confuses some window managers: do it next.
    QTimer::singleShot(0, this, [this] {
        if (isMinimized() && isVisible()) m_tray->hideWindow();
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

// The main search window: its controls, its loading, its search and timers, and the exit.

#include "search/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <utility>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/clock_text.h"
#include "search/scope_box.h"
#include "search/search_plan.h"
#include "search/tray_controller.h"
#include "shell/menu_table.h"
#include "shell/settings.h"
#include "shell/window_parts.h"

namespace pluvik {

MainWindow::MainWindow(AppContext context, CleanerStores stores, QWidget* parent)
    : QMainWindow(parent),
      m_ctx(std::move(context)),
      m_client(new QWidget(this)),
      m_results(
          m_ctx, m_client, this, [this] { return m_combo->currentText(); },
          // The program may be closed from inside a dialog: the window may be gone, or going.
          [self = QPointer<MainWindow>(this), this] { return self && !m_exiting; }),
      m_windows(m_ctx, m_results, *this, stores) {
    windowPreamble(this, QStringLiteral("禾朔搜索"), QStringLiteral("Pluvik"));
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
    m_menuShortcuts.reset();
    m_results.disconnectPages(this);
}

void MainWindow::buildControls() {
    QWidget* client = m_client;
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(1018, 684);  // the design size; the controls keep their places
    setCentralWidget(client);

    pictureBox(client, "Picture1", ":/pluvik/picture1.png", QRect(24, 4, 240, 44));
    pictureBox(client, "Picture2", ":/pluvik/picture2.png", QRect(760, 6, 140, 44));
    pictureBox(client, "Picture3", ":/pluvik/picture3.png", QRect(160, 62, 700, 24));
    placed<QLabel>(client, "Label1", QStringLiteral("请输入关键词："), QRect(280, 16, 84, 12));
    placed<QLabel>(client, "Label5", QStringLiteral("时间："), QRect(8, 56, 36, 17));
    m_label6 = placed<QLabel>(client, "Label6", {}, QRect(40, 56, 105, 17));
    m_label4 = placed<QLabel>(client, "Label4", {}, QRect(80, 72, 65, 17));

    m_combo = keywordHistoryBox(client, QRect(376, 16, 185, 20));
    m_scope = new ScopeBox(m_ctx.programDir, client, this);
    m_scope->setGeometry(566, 16, 84, 20);

    m_command1 = placed<QPushButton>(client, "Command1", QStringLiteral("搜索"), QRect(656, 16, 73, 25));
    m_command1->setDefault(true);

    m_command2 =
        placed<QPushButton>(client, "Command2", QStringLiteral("关闭当前选项卡"), QRect(912, 64, 97, 25));

    // Hidden: it only fetches the version page once (frozen once loaded; after a crash it loads
    // again when it is next navigated).
    m_updateBrowser = m_ctx.browsers.create(client, "WBupdate");
    m_updateBrowser->setGeometry(24, 16, 9, 2);
    m_updateBrowser->hide();

    m_statusLabel = statusBar1(client, QRect(0, 666, 1018, 18), QStringLiteral("准备工作"));
    m_timer1 = designTimer(this, "Timer1", kClockTickMs);
    m_timer2 = designTimer(this, "Timer2", kStatusTimerMs);
    m_timer4 = designTimer(this, "Timer4", kRetryTimerMs);
}

void MainWindow::load() {
    // The settings, with the files created from the defaults where missing; the result tabs; the
    // version page, loaded once (nothing reads it); the tray icon.
    m_ctx.settings.LoadSettings();
    m_results.load(m_ctx.settings.current());
    m_updateBrowser->Navigate(toQ(serviceAddress(Service::MakerVersionSite)) + EngineTable::kVersionPage);
    m_tray->install();
}

void MainWindow::clearKeywordHistory() {
    m_history.clear();
    m_combo->clear();
    m_combo->clearEditText();
}

void MainWindow::clearBrowseAddressList() {
    // A default window that is not open has no list to clear.
    if (BrowseWindow* window = m_ctx.browseWindows.openDefaultInstance()) window->addressBox()->clear();
}

void MainWindow::setStatusText(const QString& text) {
    if (m_statusLabel->text() == text) return;
    m_statusLabel->setText(text);
    m_ctx.trace.record("status", {{"text", text}});
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (std::exchange(m_shownOnce, true)) return;
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

void MainWindow::connectEvents() {
    connect(m_command1, &QPushButton::clicked, this, &MainWindow::search);
    connect(m_command2, &QPushButton::clicked, this,
            [this] { m_results.closeCurrent(ResultTabs::Ask::First); });
    // Enter in the keyword box searches. The combo box holds the focus for its line edit and hands
    // it every key, an unhandled Enter twice over, so the key press is taken at the combo box.
    m_combo->installEventFilter(this);
    m_menuShortcuts = std::make_unique<MenuShortcutsFirst>(this);

    m_results.onSearchEvents(
        [this] {
            if (m_searchStarted) setStatusText(QStringLiteral("正在打开...."));
        },
        [this] {
            if (m_searchStarted) m_wait->pagesOpened();
        },
        [this](const QString& tally) { setStatusText(tally); });
    connect(m_timer1, &QTimer::timeout, this, &MainWindow::onTimer1);
    connect(m_timer2, &QTimer::timeout, this, &MainWindow::onTimer2);
    connect(m_timer4, &QTimer::timeout, this, &MainWindow::onTimer4);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_combo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            search();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::search() {
    const std::string keyword = toStd(m_combo->currentText());
    const Settings settings = m_ctx.settings.current();
    const TabSet scope = m_scope->tabs();
    const SearchPlan plan =
        planSearch(m_ctx.engines, keyword, diyEngines(settings), m_history, tabsSwitchedOn(settings) & scope);
    if (plan.refused) {
        m_ctx.dialogs.inform(this, toQ(plan.message));
        return;
    }
    m_results.searchStarted(keyword, plan, scope, m_scope->currentText(), m_scope->isAll());
    traceReferences(m_ctx.trace, QStringLiteral("main"), plan.references);
    for (const SearchStep& step : plan.steps) {
        switch (step.kind) {
            case SearchStepKind::SetSearchStarted:
                m_searchStarted = true;
                m_wait->searchStarted();
                break;
            case SearchStepKind::StartTimer2:
                m_timer2->start();
                break;
            case SearchStepKind::ShowWaitWindow:
                m_wait->showWaiting();
                break;
            case SearchStepKind::Navigate:
                m_results.navigate(step.tab, toQ(step.text));
                break;
            case SearchStepKind::StartTimer4:
                m_timer4->start();
                break;
            case SearchStepKind::AddToHistory:
                if (m_history.add(step.text)) m_combo->addItem(toQ(step.text));
                break;
            case SearchStepKind::SetStatus:
                setStatusText(toQ(step.text));
                break;
        }
    }
    // The keyword box keeps the keyword as its text.
    m_combo->setEditText(toQ(keyword));
    m_ctx.trace.record("search_dispatched", {{"keyword", toQ(keyword)}});
}

void MainWindow::onTimer1() {
    // The clock in a Chinese system's short date and long time, whatever the locale.
    const QDateTime now = QDateTime::currentDateTime();
    m_label6->setText(toQ(clockDate(now.date().year(), now.date().month(), now.date().day())));
    m_label4->setText(toQ(clockTime(now.time().hour(), now.time().minute(), now.time().second())));
}

void MainWindow::onTimer2() {
    if (m_searchStarted) setStatusText(m_results.enginesTally().value_or(QStringLiteral("准备工作")));
}

void MainWindow::onTimer4() {
    // A later search that left the retry tab alone (switched off since) leaves it alone here too.
    if (m_results.searched(EngineTable::kRetryTab))
        m_results.navigate(EngineTable::kRetryTab,
                           toQ(retryAddress(m_ctx.engines, toStd(m_combo->currentText()))));
    m_timer4->stop();
}

}  // namespace pluvik

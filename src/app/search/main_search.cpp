// The main window's search, its browser events and its timers.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "browse/browse_windows.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/clock_text.h"
#include "search/main_window.h"
#include "search/search_plan.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"

namespace pluvik {

void MainWindow::connectEvents() {
    connect(m_command1, &QPushButton::clicked, this, &MainWindow::search);
    connect(m_command2, &QPushButton::clicked, this, [this] { closeTab(true); });
    // Enter in the keyword box searches. The combo box holds the focus for its line edit and hands
    // it every key, an unhandled Enter twice over, so the key press is taken at the combo box.
    m_combo->installEventFilter(this);
    // Shortcut overrides go to whichever widget has the focus, a result page's inner widget among
    // them: only an application-wide filter sees them all.
    qApp->installEventFilter(this);

    BrowserView* tab0 = m_browsers[0];
    connect(tab0, &BrowserView::DownloadBegin, this, [this] {
        if (m_searchStarted) setStatusText(QStringLiteral("正在打开...."));
    });
    BrowserView* signalTab = m_browsers[EngineTable::kSignalTab];
    connect(signalTab, &BrowserView::DownloadBegin, this, [this] { m_signalTabStopped = false; });
    connect(signalTab, &BrowserView::DownloadComplete, this, [this](bool) {
        // The end of the load that the user's "stop" broke off is no news: the search stays stopped.
        if (m_signalTabStopped) {
            m_signalTabStopped = false;
            return;
        }
        // Only this tab's completion counts as "the pages have opened"; a failed load counts too,
        // so a dead server or a dead page never leaves the window disabled.
        if (m_searchStarted) m_wait->pagesOpened();
    });
    for (BrowserView* view : m_browsers) {
        m_ctx.browseWindows.routeNewWindowsOf(view, this);
    }

    // A double click closes the tab without asking.
    connect(m_tabs, &TabStrip::tabDoubleClicked, this, [this](int) { closeTab(); });
    connect(m_tabs, &TabStrip::mousePressed, this, [this](Qt::MouseButton button, const QPoint& globalPos) {
        if (button == Qt::RightButton) m_youjian->popup(globalPos);
    });

    connect(m_timer1, &QTimer::timeout, this, &MainWindow::onTimer1);
    connect(m_timer2, &QTimer::timeout, this, &MainWindow::onTimer2);
    connect(m_timer4, &QTimer::timeout, this, &MainWindow::onTimer4);
}

// Whether `key` is the shortcut of an entry of the menu bar.
bool MainWindow::isMenuShortcut(const QKeyEvent* key) const {
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(key->key())));
    for (QAction* action : menuBar()->findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed && action->isEnabled())
            return true;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_combo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            search();
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu shortcuts come before a text box's or a page's own keys (Ctrl+X, Ctrl+A, Ctrl+Z,
        // Ctrl+E, Ctrl+U ...) wherever the focus is in this window. The keyword box keeps cut,
        // select-all and undo in its context menu.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && isMenuShortcut(static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::search() {
    const std::string keyword = toStd(m_combo->currentText());
    const Settings settings = m_ctx.settings.current();
    const SearchPlan plan = planSearch(keyword, diyEngines(settings), m_history);
    if (plan.refused) {
        m_ctx.dialogs.inform(this, toQ(plan.message));
        return;
    }
    m_ctx.trace.record("search_started", {{"keyword", toQ(keyword)}});
    traceReferences(m_ctx.trace, QStringLiteral("main"), plan.references);
    m_signalTabStopped = false;
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
                browser(step.tab)->Navigate(toQ(step.text));
                break;
            case SearchStepKind::StartTimer4:
                m_timer4->start();
                break;
            case SearchStepKind::AddToHistory:
                if (m_history.add(step.text)) m_combo->addItem(toQ(step.text));
                break;
        }
    }
    // The keyword box keeps the keyword as its text.
    m_combo->setEditText(toQ(keyword));
    m_ctx.trace.record("search_dispatched", {{"keyword", toQ(keyword)}});
}

void MainWindow::stopResultTabs() {
    // The engine reports the stopped load of the signal tab as finished a moment later.
    m_signalTabStopped = true;
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) browser(tab)->Stop();
}

void MainWindow::onTimer1() {
    // The clock in a Chinese system's short date and long time, whatever the locale.
    const QDateTime now = QDateTime::currentDateTime();
    m_label6->setText(toQ(clockDate(now.date().year(), now.date().month(), now.date().day())));
    m_label4->setText(toQ(clockTime(now.time().hour(), now.time().minute(), now.time().second())));
}

void MainWindow::onTimer2() {
    if (m_searchStarted) setStatusText(QStringLiteral("准备工作"));
}

void MainWindow::onTimer4() {
    browser(EngineTable::kRetryTab)->Navigate(toQ(retryAddress(toStd(m_combo->currentText()))));
    m_timer4->stop();
}

}  // namespace pluvik

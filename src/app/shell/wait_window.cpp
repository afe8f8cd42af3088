#include "shell/wait_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "shell/window_parts.h"

namespace pluvik {

WaitWindow::WaitWindow(WaitHost& host, Dialogs& dialogs, Trace& trace, QWidget* anchor)
    : QWidget(nullptr,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_host(host),
      m_dialogs(dialogs),
      m_trace(trace),
      m_anchor(anchor) {
    setObjectName(QStringLiteral("ready"));
    setWindowTitle(QStringLiteral("正在打开。。"));
    setFixedSize(251, 98);
    m_label = new QLabel(QStringLiteral("Pluvik正在打开网页，请稍等。。"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setGeometry(0, 0, 251, 98);
    m_timer = designTimer(this, QStringLiteral("Timer1"), WaitWindowState::kTickMs);
    connect(m_timer, &QTimer::timeout, this, &WaitWindow::onTimer1);
    // Belongs to the search rather than to the window: after "Cancel" the window is gone and the
    // deadline still frees the main window.
    m_deadline = new QTimer(this);
    m_deadline->setObjectName(QStringLiteral("deadline"));
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] { checkDeadline(m_ticks.tickCount()); });
    if (m_anchor) m_anchor->installEventFilter(this);
}

void WaitWindow::showWaiting() {
    run(m_state.show());
}

void WaitWindow::searchStarted() {
    m_state.searchStarted(m_ticks.tickCount());
    armDeadline();
}

void WaitWindow::armDeadline() {
    // A timer may fire a little early: it is set again for what is left.
    if (const auto left = m_state.deadlineLeft(m_ticks.tickCount()))
        m_deadline->start(static_cast<int>(*left));
    else
        m_deadline->stop();
}

void WaitWindow::pagesOpened() {
    m_trace.record("pages_opened", {{"wait_open", m_state.isOpen()}, {"reason", QStringLiteral("loaded")}});
    run(m_state.signalPagesOpened());
    armDeadline();
}

void WaitWindow::checkDeadline(std::uint32_t now) {
    const WaitSteps steps = m_state.checkDeadline(now);
    // More than the deadline's own step: the deadline gave the signal too.
    if (steps.size() > 1) {
        m_trace.record("pages_opened",
                       {{"wait_open", m_state.isOpen()}, {"reason", QStringLiteral("deadline")}});
    }
    run(steps);
    armDeadline();
}

bool WaitWindow::eventFilter(QObject* watched, QEvent* event) {
    // On X11 the window manager knows nothing of the owner of a plain window: a click on the
    // disabled main window raises it over this one and gives it the focus, and then Alt+F4 or the
    // close box closes the main window (the whole program) instead of this one. As a disabled
    // owner does elsewhere, the main window hands its activation on to this window, or to the stop
    // question when one is up.
    if (watched == m_anchor && event->type() == QEvent::WindowActivate && isVisible())
        QTimer::singleShot(0, this, &WaitWindow::comeToFront);
    return QWidget::eventFilter(watched, event);
}

void WaitWindow::comeToFront() {
    if (!isVisible() || !m_anchor || m_anchor->isEnabled()) return;
    QWidget* front = this;
    for (QMessageBox* box : findChildren<QMessageBox*>())
        if (box->isVisible()) front = box;
    front->raise();
    front->activateWindow();
}

void WaitWindow::onTimer1() {
    run(m_state.tick());
}

void WaitWindow::closeEvent(QCloseEvent* event) {
    // A close is never refused; the question only decides whether loading stops.
    std::optional<CloseAnswer> answer;
    if (auto question = m_state.beginClose()) {
        const bool ok = m_dialogs.confirm(this, toQ(question->caption), toQ(question->text));
        answer = ok ? CloseAnswer::Ok : CloseAnswer::Cancel;
    }
    run(m_state.finishClose(answer));
    armDeadline();
    event->accept();
}

void WaitWindow::run(const WaitSteps& steps) {
    for (const WaitStep& step : steps) {
        switch (step.action) {
            case WaitAction::OpenWindow:
                if (m_anchor) {
                    move(m_anchor->geometry().center() - QPoint(width() / 2, height() / 2));
                    // Owned by the main window where the platform honours it for a window of this
                    // kind (X11 does not: see eventFilter).
                    winId();
                    m_anchor->window()->winId();
                    windowHandle()->setTransientParent(m_anchor->window()->windowHandle());
                }
                show();
                raise();
                // The window's id lets a test close it as a window manager would.
                m_trace.record("wait_shown", {{"window_id", QString::number(winId())}});
                break;
            case WaitAction::CloseWindow:
                hide();
                m_trace.record("wait_closed");
                break;
            case WaitAction::DisableMain:
                // A disabled window forgets its focus; the keys typed after the wait go where they
                // went before it (the keyword box, for the next keyword).
                if (m_anchor) m_focusBefore = m_anchor->window()->focusWidget();
                m_host.setMainEnabled(false);
                break;
            case WaitAction::EnableMain:
                m_host.setMainEnabled(true);
                if (m_focusBefore) m_focusBefore->setFocus();
                m_focusBefore = nullptr;
                break;
            case WaitAction::SetStatus:
                m_host.setStatusText(toQ(step.text));
                break;
            case WaitAction::StopResultTabs:
                m_host.stopResultTabs();
                break;
            case WaitAction::PassDeadline:
                m_host.resultDeadlinePassed();
                break;
            case WaitAction::StartTimer:
                m_timer->start();
                break;
            case WaitAction::StopTimer:
                m_timer->stop();
                break;
            case WaitAction::DismissQuestion:
                // The question is a box of this window's own, running its own event loop inside
                // closeEvent: it ends, and the close goes on with "Cancel".
                for (QMessageBox* box : findChildren<QMessageBox*>()) box->done(QMessageBox::Cancel);
                m_trace.record("stop_question_dismissed");
                break;
        }
    }
}

}  // namespace pluvik

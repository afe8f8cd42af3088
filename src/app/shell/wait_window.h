#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/steady_tick_counter.h"
#include "shell/wait_window_state.h"

class QLabel;
class QTimer;

namespace pluvik {

class Dialogs;
class Trace;

// What the wait window does to the main window.
class WaitHost {
public:
    virtual ~WaitHost() = default;
    virtual void setMainEnabled(bool enabled) = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual void stopResultTabs() = 0;
    // The search's deadline passed: the result pages still loading are slow.
    virtual void resultDeadlinePassed() = 0;
};

// The wait window `ready`: shown by every search, it keeps the main window disabled until the
// result pages have signalled that they opened, then closes at the next tick of its timer.
class WaitWindow : public QWidget {
    Q_OBJECT
public:
    // `anchor` is the main window it is centred on and that owns it on the screen. It is not its
    // parent widget: disabling the main window would disable its child windows too.
    WaitWindow(WaitHost& host, Dialogs& dialogs, Trace& trace, QWidget* anchor);

    void showWaiting();
    // Every search: the pages-opened signal is due within the deadline from now on.
    void searchStarted();
    // The pages-opened signal: tab 15 finished loading.
    void pagesOpened();
    // The exit sequence: the window closes without asking from now on.
    void markExiting() { m_state.markExiting(); }

    const WaitWindowState& state() const { return m_state; }
    QTimer* timer() const { return m_timer; }
    // One tick of Timer1 (tests call it instead of waiting 2000 ms).
    void onTimer1();
    // The deadline looked at, at tick `now` of the millisecond tick counter (its timer does it on
    // time; tests call it with a tick of their choosing).
    void checkDeadline(std::uint32_t now);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run(const WaitSteps& steps);
    void armDeadline();
    void comeToFront();

    WaitHost& m_host;
    Dialogs& m_dialogs;
    Trace& m_trace;
    WaitWindowState m_state;
    SteadyTickCounter m_ticks;
    QLabel* m_label = nullptr;
    QTimer* m_timer = nullptr;
    QTimer* m_deadline = nullptr;
    QWidget* m_anchor;
    QPointer<QWidget> m_focusBefore;  // the main window's focus when the wait disabled it
};

}  // namespace pluvik

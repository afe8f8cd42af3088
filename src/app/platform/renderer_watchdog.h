#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include "browse/hang_watch.h"

namespace pluvik {

class Trace;
class WebBrowserView;

// Keeps a page whose script never ends from taking the program over. Every round it asks the pages
// that run scripts a trivial question; HangWatch decides which process hangs and which of its pages
// hangs it; that page is marked stopped and the process is ended. Each tab of that process then
// recovers by itself (WebBrowserView: the stopped page shows a page of the program's own, the others
// load again).
class RendererWatchdog : public QObject {
    Q_OBJECT
public:
    explicit RendererWatchdog(Trace* trace, QObject* parent = nullptr);

    void watch(WebBrowserView* view);
    void forget(WebBrowserView* view);

    // Milliseconds on the watchdog's clock.
    qint64 now() const { return m_clock.elapsed(); }
    // Whether the watchdog ended this process (its pages go back to work without the crash rules).
    bool endedByWatchdog(qint64 pid) const { return m_rules.endedByWatchdog(pid, now()); }
    // Whether the watchdog ended a process a moment ago: a load that fails now most likely went to it.
    bool endedJustNow() const { return m_rules.endedJustNow(now()); }
    // A page of this process answered the question asked at `askedAt`.
    void answered(qint64 pid, qint64 askedAt) { m_rules.answered(pid, askedAt); }

    // Runs one round at once; tests use it to avoid waiting for the timer.
    void checkNow();

private:
    void endProcess(const HungProcess& hung, WebBrowserView* culprit);

    Trace* m_trace;
    HangWatch m_rules;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QList<WebBrowserView*> m_views;
};

}  // namespace pluvik

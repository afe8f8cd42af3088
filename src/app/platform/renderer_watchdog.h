#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

namespace pluvik {

class Trace;
class WebBrowserView;

// Keeps a page whose script never ends from taking the program over. Renderer processes are shared
// by several tabs, so one endless script stops every page of its process: none of them loads,
// answers or paints again. The watchdog asks every live page a trivial question now and then;
// when a process leaves it unanswered too long, the page that most likely hangs it is marked
// stopped and the process is ended. Each tab of that process then recovers by itself
// (WebBrowserView: the stopped page shows a page of the program's own, the others load again).
class RendererWatchdog : public QObject {
    Q_OBJECT
public:
    explicit RendererWatchdog(Trace* trace, QObject* parent = nullptr);

    void watch(WebBrowserView* view);
    void forget(WebBrowserView* view);

    // Whether the watchdog ended this process (its pages go back to work without the crash rules).
    bool endedByWatchdog(qint64 pid) const { return m_ended.contains(pid); }
    // Whether the watchdog ended a process a moment ago: a load that fails now most likely went to it.
    bool endedJustNow() const { return m_lastEnd.isValid() && m_lastEnd.elapsed() < 3000; }
    // A page of this process answered: the process has been working.
    void answered(qint64 pid) {
        m_working.insert(pid);
        m_lastAnswer.start();
    }

    // Runs one round at once; tests use it to avoid waiting for the timer.
    void checkNow();

private:
    WebBrowserView* culpritAmong(const QList<WebBrowserView*>& views) const;
    void endProcess(qint64 pid, WebBrowserView* culprit);

    Trace* m_trace;
    QTimer m_timer;
    QElapsedTimer m_lastCheck;
    QElapsedTimer m_lastAnswer;
    QElapsedTimer m_lastEnd;
    QList<WebBrowserView*> m_views;
    QSet<qint64> m_ended;
    QSet<qint64> m_working;
};

}  // namespace pluvik

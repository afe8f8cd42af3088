#include "platform/renderer_watchdog.h"

#include <QCoreApplication>
#include <QHash>

#include <csignal>
#include <sys/types.h>

#include "platform/trace.h"
#include "platform/web_browser_view.h"

namespace pluvik {

RendererWatchdog::RendererWatchdog(Trace* trace, QObject* parent) : QObject(parent), m_trace(trace) {
    m_timer.setInterval(kProbeIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RendererWatchdog::checkNow);
}

void RendererWatchdog::watch(WebBrowserView* view) {
    m_views.append(view);
    if (!m_timer.isActive()) m_timer.start();
}

void RendererWatchdog::forget(WebBrowserView* view) {
    m_views.removeAll(view);
    if (m_views.isEmpty()) m_timer.stop();
}

void RendererWatchdog::checkNow() {
    QHash<qint64, QList<WebBrowserView*>> byProcess;
    QSet<qint64> hung;
    for (WebBrowserView* view : m_views) {
        const qint64 pid = view->rendererPid();
        if (pid <= 0) continue;
        byProcess[pid].append(view);
        if (view->unansweredProbeMs() > kHangMs) hung.insert(pid);
        view->probe();
    }
    for (qint64 pid : hung) endProcess(pid, culpritAmong(byProcess.value(pid)));
}

// Every page of a hung process stops answering at once, so the answers cannot tell which page hangs
// it. The page that hangs it was the last to get anything done before the hang: it got far enough to
// run its script, while its neighbours, loading beside it, waited. A page still loading is a likelier
// culprit than one that finished. Should the guess be wrong, the real culprit, loaded again, hangs
// its new process too, and the crash rules stop it the second time.
WebBrowserView* RendererWatchdog::culpritAmong(const QList<WebBrowserView*>& views) const {
    WebBrowserView* best = nullptr;
    for (WebBrowserView* view : views) {
        if (!best) {
            best = view;
            continue;
        }
        if (view->isLoading() != best->isLoading()) {
            if (view->isLoading()) best = view;
            continue;
        }
        if (view->lastActivityMs() > best->lastActivityMs()) best = view;
    }
    return best;
}

void RendererWatchdog::endProcess(qint64 pid, WebBrowserView* culprit) {
    // Never the program itself (the engine can run its pages in the program's own process).
    if (pid == QCoreApplication::applicationPid()) return;
    if (culprit) culprit->markHung();
    m_ended.insert(pid);
    // Process numbers come round again; the pages of this one hear of its end long before that.
    QTimer::singleShot(30000, this, [this, pid] { m_ended.remove(pid); });
    m_trace->record("page_hung", {{"pid", pid},
                                  {"browser", culprit ? culprit->objectName() : QString()},
                                  {"url", culprit ? culprit->LocationURL() : QString()}});
    // Nothing less stops a script that never ends: the engine has no call that interrupts one.
    ::kill(static_cast<pid_t>(pid), SIGKILL);
}

}  // namespace pluvik

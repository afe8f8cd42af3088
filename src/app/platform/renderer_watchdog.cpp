#include "platform/renderer_watchdog.h"

#include <QApplication>
#include <QFile>
#include <QHash>

#include <tuple>

#include <csignal>
#include <sys/types.h>

#include "platform/trace.h"
#include "platform/web_browser_view.h"

namespace pluvik {

namespace {

// A probe unanswered this long means the process hangs; with a probe every kProbeIntervalMs the
// program acts within ten seconds of the last answer.
constexpr int kProbeIntervalMs = 1500;
constexpr int kHangMs = 7000;
// A process that has never answered may still be starting on a busy machine: while no other
// process answers either, it is given longer.
constexpr int kStartingHangMs = 30000;

}  // namespace

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
    // While a modal dialog runs its own event loop inside one of the engine's calls, or while the
    // program itself was too busy to look, answers cannot come through: nobody is judged then.
    const bool late = m_lastCheck.isValid() && m_lastCheck.elapsed() > 2 * kProbeIntervalMs;
    m_lastCheck.start();
    if (late || QApplication::activeModalWidget()) {
        for (WebBrowserView* view : m_views) view->forgetProbe();
        return;
    }
    QHash<qint64, QList<WebBrowserView*>> byProcess;
    QSet<qint64> hung;
    for (WebBrowserView* view : m_views) {
        const qint64 pid = view->rendererPid();
        if (pid <= 0) continue;
        byProcess[pid].append(view);
        const qint64 unanswered = view->unansweredProbeMs();
        const bool othersAnswer = m_lastAnswer.isValid() && m_lastAnswer.elapsed() < kHangMs;
        if (unanswered > kStartingHangMs || (unanswered > kHangMs && (m_working.contains(pid) || othersAnswer)))
            hung.insert(pid);
        view->probe();
    }
    for (qint64 pid : hung) endProcess(pid, culpritAmong(byProcess.value(pid)));
}

// Every page of a hung process stops answering at once, so the answers cannot tell which page hangs
// it. A script that never ends mostly starts while its page loads: the page parsed its document
// (the engine reports its title) and ran the script in the same breath, while its neighbours could
// parse nothing more. So the culprit is the page still loading that parsed its document last; failing
// that, the page that last got anything done. Should the guess be wrong, the real culprit, loaded
// again, hangs its new process too and is the first suspect the second time.
WebBrowserView* RendererWatchdog::culpritAmong(const QList<WebBrowserView*>& views) const {
    // A page loaded again after its process died, whose new process hangs in turn, is the likeliest
    // of all.
    auto rank = [](const WebBrowserView* view) {
        return std::tuple(view->isLoading(), view->isLoading() && view->recoveredRecently(),
                          view->isLoading() ? view->documentParsedMs() : 0, view->lastActivityMs());
    };
    WebBrowserView* best = nullptr;
    for (WebBrowserView* view : views) {
        if (!best || rank(view) > rank(best)) best = view;
    }
    return best;
}

namespace {

// Whether `pid` is one of the program's own helper processes: its parent, or its parent's parent
// (the engine starts renderers from a process of its own), is the program. A process number the
// engine still reports after its process has gone may already belong to another program.
bool isOwnHelper(qint64 pid) {
    const qint64 self = QCoreApplication::applicationPid();
    qint64 current = pid;
    for (int depth = 0; depth < 3 && current > 1; ++depth) {
        QFile status(QStringLiteral("/proc/%1/status").arg(current));
        if (!status.open(QIODevice::ReadOnly)) return false;
        qint64 parent = 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("PPid:")) parent = line.mid(5).trimmed().toLongLong();
        if (parent == self) return true;
        current = parent;
    }
    return false;
}

}  // namespace

void RendererWatchdog::endProcess(qint64 pid, WebBrowserView* culprit) {
    // Never the program itself (the engine can run its pages in the program's own process).
    if (pid == QCoreApplication::applicationPid() || m_ended.contains(pid) || !isOwnHelper(pid)) return;
    if (culprit) culprit->markHung();
    m_ended.insert(pid);
    // Process numbers come round again; the pages of this one hear of its end long before that.
    m_working.remove(pid);
    m_lastEnd.start();
    QTimer::singleShot(30000, this, [this, pid] { m_ended.remove(pid); });
    // Nothing less stops a script that never ends: the engine has no call that interrupts one.
    const int ended = ::kill(static_cast<pid_t>(pid), SIGKILL);
    m_trace->record("page_hung", {{"pid", pid},
                                  {"ended", ended == 0},
                                  {"browser", culprit ? culprit->objectName() : QString()},
                                  {"url", culprit ? culprit->LocationURL() : QString()}});
}

}  // namespace pluvik

#include "platform/renderer_watchdog.h"

#include <QApplication>
#include <QFile>

#include <sys/types.h>
#include <csignal>

#include "platform/trace.h"
#include "platform/web_browser_view.h"

namespace pluvik {

RendererWatchdog::RendererWatchdog(Trace* trace, QObject* parent) : QObject(parent), m_trace(trace) {
    m_clock.start();
    m_timer.setInterval(static_cast<int>(HangWatch::kRoundMs));
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
    const qint64 time = now();
    std::vector<WatchedPage> pages;
    pages.reserve(static_cast<size_t>(m_views.size()));
    for (WebBrowserView* view : m_views) pages.push_back(view->watched());
    const WatchRound round = m_rules.round(time, QApplication::activeModalWidget() != nullptr, pages);
    auto viewOf = [this](PageHandle page) -> WebBrowserView* {
        for (WebBrowserView* view : m_views)
            if (view->handle() == page) return view;
        return nullptr;
    };
    if (round.skipped)
        for (WebBrowserView* view : m_views) view->forgetProbe();
    for (PageHandle page : round.ask)
        if (WebBrowserView* view = viewOf(page)) view->probe(time);
    for (const HungProcess& hung : round.hung) endProcess(hung, viewOf(hung.culprit));
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

void RendererWatchdog::endProcess(const HungProcess& hung, WebBrowserView* culprit) {
    const qint64 pid = hung.pid;
    // Never the program itself (the engine can run its pages in the program's own process).
    if (pid == QCoreApplication::applicationPid() || !isOwnHelper(pid)) return;
    if (culprit) culprit->markHung();
    m_rules.ended(hung, now());
    // Nothing less stops a script that never ends: the engine has no call that interrupts one.
    const int ended = ::kill(static_cast<pid_t>(pid), SIGKILL);
    m_trace->record("page_hung", {{"pid", pid},
                                  {"ended", ended == 0},
                                  {"browser", culprit ? culprit->objectName() : QString()},
                                  {"url", culprit ? culprit->LocationURL() : QString()},
                                  {"suspects", static_cast<int>(hung.suspects.size())}});
}

}  // namespace pluvik

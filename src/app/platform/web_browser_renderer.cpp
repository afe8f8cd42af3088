// A page's renderer process: the watchdog's questions to it, its end, and the program's own page
// that may stand in for the page after it.
#include <QDataStream>
#include <QFile>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <array>

#include "platform/qt_text.h"
#include "platform/renderer_watchdog.h"
#include "platform/resources.h"
#include "platform/silent_page.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"

namespace pluvik {

namespace {

const char* recoveryName(Recovery recovery) {
    // In the order of Recovery.
    static constexpr std::array<const char*, 4> kNames{"stopped", "crashed", "reload", "reload_when_shown"};
    return kNames.at(static_cast<size_t>(recovery));
}

}  // namespace

void WebBrowserView::forgetProbe() {
    ++m_probeSerial;  // an answer still on its way belongs to the old page and is not waited for
    m_askedAt.reset();
}

qint64 WebBrowserView::rendererPid() const {
    const qint64 pid = m_page->renderProcessPid();
    return pid > 0 ? pid : m_pid;
}

WatchedPage WebBrowserView::watched() const {
    // A frozen page answers nothing by design, and a printing page is busy for the printer.
    const bool askable = !m_printing && m_page->lifecycleState() == QWebEnginePage::LifecycleState::Active;
    // Which process holds the page is the engine's word now, not a number remembered from before.
    return {handle(), m_page->renderProcessPid(), askable, m_askedAt, m_workedAt};
}

void WebBrowserView::probe(qint64 now) {
    const qint64 pid = m_page->renderProcessPid();
    if (pid <= 0) return;
    m_pid = pid;
    m_askedAt = now;
    const quint64 serial = m_probeSerial;
    QPointer<WebBrowserView> self(this);
    // The program's own script world: the page cannot see or answer the question itself.
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [self, serial, pid, now](const QVariant&) {
                              if (!self) return;
                              if (self->m_watchdog) self->m_watchdog->answered(pid, now);
                              if (self->m_probeSerial == serial) self->m_askedAt.reset();
                          });
}

// Pages that stopped: a short page of the program's own stands in for them, in Chinese, naming the
// address; a search, "刷新" or Enter in an address box loads the address again.
void WebBrowserView::showOwnPage(OwnPage kind, const QString& address) {
    static const QString kTemplate = [] {
        initAppResources();
        QFile file(QStringLiteral(":/pluvik/own_page.html"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    const bool stopped = kind == OwnPage::Stopped;
    const QString html =
        QString(kTemplate)
            .replace(QStringLiteral("{{title}}"),
                     stopped ? QStringLiteral("网页已停止响应") : QStringLiteral("网页已意外关闭"))
            .replace(QStringLiteral("{{why}}"),
                     stopped ? QStringLiteral("这个网页长时间没有响应，Pluvik 已将它停止，其他网页不受影响。")
                             : QStringLiteral("显示这个网页的进程意外结束了，Pluvik 没有再次打开它。"))
            .replace(QStringLiteral("{{address}}"), address.toHtmlEscaped());
    livePage()->setHtml(html, QUrl(QStringLiteral("about:blank")));
}

// The engine gives a page whose renderer had ended the keyboard focus, and its window the
// activation, as soon as a new renderer is ready for it: a dialog or another window the user is in
// would lose its keys to the main window, and the keyword box its focus to the page, whenever a tab
// loads again after a crash. Fresh contents carry no memory of the crash; the tab's history moves
// into them.
SilentPage* WebBrowserView::livePage() {
    if (!m_rendererEnded) return m_page;
    m_rendererEnded = false;
    QByteArray history;
    if (m_page->history()->count() > 0) {
        QDataStream out(&history, QIODevice::WriteOnly);
        out << *m_page->history();
    }
    SilentPage* page = newPage();
    installPage(page);
    if (!history.isEmpty()) {
        QDataStream in(history);
        in >> *page->history();
    }
    return m_page;
}

void WebBrowserView::onRenderProcessTerminated(int status) {
    const qint64 pid = m_pid;
    m_pid = 0;
    const QUrl requested = m_page->requestedUrl();
    const RendererEnd end{pid, m_watchdog && m_watchdog->endedByWatchdog(pid), encodedAddress(requested),
                          encodedAddress(m_page->url())};
    const RendererEndDecision decision = m_session.rendererEnded(end, now());
    m_rendererEnded = true;
    m_trace.record("renderer_gone", {{"browser", objectName()},
                                     {"window", window()->objectName()},
                                     {"pid", pid},
                                     {"status", status},
                                     {"url", toQ(decision.address)},
                                     {"action", QString::fromLatin1(recoveryName(decision.recovery))}});
    run(decision.steps);
}

}  // namespace pluvik

#include "platform/web_browser_view.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QPrinter>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "platform/frame_pacer.h"
#include "platform/keyword_check.h"
#include "platform/media_watch.h"
#include "platform/qt_text.h"
#include "platform/renderer_watchdog.h"
#include "platform/silent_page.h"
#include "platform/trace.h"

namespace pluvik {

WebBrowserView::WebBrowserView(QWebEngineProfile* profile, QUrl homeUrl, Trace& trace, Dialogs& dialogs,
                               ShellOpener& shell, QWidget* parent, RendererWatchdog* watchdog,
                               const AnimationRate* animation)
    : BrowserView(parent),
      m_profile(profile),
      m_homeUrl(std::move(homeUrl)),
      m_trace(trace),
      m_dialogs(dialogs),
      m_shell(shell),
      m_watchdog(watchdog) {
    m_clock.start();
    m_due.setSingleShot(true);
    connect(&m_due, &QTimer::timeout, this, [this] { run(m_session.due(now())); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);
    layout->addWidget(m_view);
    FramePacer::attach(m_view, animation);
    installPage(newPage());
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool) {
        m_printing = false;
        m_printer.reset();
        run(m_session.printFinished());
    });
    if (m_watchdog) m_watchdog->watch(this);
}

WebBrowserView::~WebBrowserView() {
    if (m_watchdog) m_watchdog->forget(this);
    // A page going away may still report its end (a load cut short, its renderer let go); nobody
    // here is listening any more.
    m_page->disconnect(this);
    // The page must go before the view it is shown in.
    m_view->setPage(nullptr);
    delete m_page;
    delete m_view;
    // A print job that is still running paints into the printer from the engine's printing thread,
    // and with the view gone nothing reports its end. The printer stays with the job (a small object,
    // left for good) instead of being pulled from under it, which would crash the program.
    if (m_printing) static_cast<void>(m_printer.release());
}

SilentPage* WebBrowserView::newPage() {
    return new SilentPage(m_profile, &m_silent, this);
}

void WebBrowserView::installPage(SilentPage* page) {
    SilentPage* old = m_page;
    m_page = page;
    MediaWatch::attach(page);
    m_view->setPage(page);
    if (old) {
        old->disconnect(this);  // what the replaced page still reports is not this browser's news
        old->deleteLater();
    }
    m_pid = 0;
    forgetProbe();
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        run(m_session.loadStarted());
        traced("load_started", {});
        emit DownloadBegin();
    });
    connect(page, &QWebEnginePage::loadingChanged, this, &WebBrowserView::onLoadingChanged);
    connect(page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        run(m_session.titleChanged(toStd(title), addressSpellings(m_page->url())));
        emit TitleChange();
    });
    // Progress and a new process are the engine's news, not the renderer's: they say nothing of
    // which page a hung renderer was working for.
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) {
        if (pid <= 0) return;  // the old number stays known until its end has been handled
        m_pid = pid;
        run(m_session.rendererStarted());
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                onRenderProcessTerminated(static_cast<int>(status));
            });
    connect(page, &QWebEnginePage::newWindowRequested, this, &WebBrowserView::onNewWindowRequested);
}

void WebBrowserView::traced(const QString& event, QVariantMap fields) {
    if (!m_trace.enabled()) return;
    fields.insert(QStringLiteral("browser"), objectName());
    fields.insert(QStringLiteral("window"), window()->objectName());
    m_trace.record(event, fields);
}

void WebBrowserView::run(const PageSteps& steps) {
    for (const PageStep& step : steps) {
        switch (step.action) {
            case PageAction::Load:
                livePage()->load(urlFromEncoded(step.address));
                break;
            case PageAction::Navigate:
                Navigate(urlFromEncoded(step.address).toString());
                break;
            case PageAction::ShowOwnPage:
                showOwnPage(step.ownPage, urlFromEncoded(step.address).toDisplayString());
                break;
            case PageAction::StartTimer:
                m_due.start(step.delayMs);
                break;
            case PageAction::Freeze:
            case PageAction::Wake:
                setFrozen(step.action == PageAction::Freeze);
                break;
            case PageAction::ForgetQuestion:
                forgetProbe();
                break;
            case PageAction::RendererWorked:
                if (m_watchdog) m_workedAt = m_watchdog->now();
                break;
        }
    }
}

void WebBrowserView::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
    const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    LoadOutcome outcome{ok, 0, static_cast<int>(info.errorDomain()), info.errorCode(),
                        encodedAddress(info.url())};
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
        outcome.httpStatus = info.errorCode();
    run(m_session.loadFinished(outcome, m_watchdog && m_watchdog->endedJustNow(), now()));
    // Still loading: the load that ended was overtaken by a later one, which is the page's news.
    const bool overtaken = m_session.loading();
    traced(overtaken ? "load_overtaken" : "load_finished",
           {{"url", m_page->url().toString(QUrl::FullyEncoded)},
            {"ok", ok},
            {"own_page", !m_session.ownPageFor().empty()},
            {"pid", m_pid}});
    if (overtaken) return;
    emit LoadEnded(outcome);
    emit DownloadComplete(ok);
    emit DocumentComplete();
}

void WebBrowserView::checkKeyword(const QString& keyword) {
    // The page looks for itself, in the world of the program's scripts: its own scripts never see
    // the question.
    QPointer<WebBrowserView> self(this);
    m_page->runJavaScript(keywordCheckScript(keyword), QWebEngineScript::ApplicationWorld,
                          [self](const QVariant& shown) {
                              if (self) emit self->KeywordChecked(shown.toBool());
                          });
}

QUrl WebBrowserView::addressToUrl(const QString& address) {
    if (address.startsWith('/') && !address.startsWith("//")) return QUrl::fromLocalFile(address);
    QUrl url(address, QUrl::TolerantMode);
    if (url.scheme().isEmpty() || !url.isValid()) url = QUrl::fromUserInput(address);
    return url;
}

// Qt holds back the resize of a hidden widget until it is first shown, so the engine's view inside a
// result tab that was never shown stays at a widget's default size, 100 pixels wide, and the pages
// loaded there are laid out for a screen that narrow: the engine does about twice the work, and a
// page picks the layout of a tiny screen. The view takes this browser's size before every load, shown
// or not (the view's own layout places the engine's widget; without one it keeps its size).
void WebBrowserView::fitHiddenView() {
    if (isVisible() || m_view->geometry() == rect()) return;
    m_view->setGeometry(rect());
    if (QLayout* inner = m_view->layout()) {
        inner->invalidate();
        inner->activate();
    }
}

void WebBrowserView::Navigate(const QString& address) {
    const QUrl url = addressToUrl(address);
    run(m_session.navigate(encodedAddress(url)));
    fitHiddenView();
    traced("navigate", {{"address", address}, {"url", url.toString(QUrl::FullyEncoded)}});
    livePage()->load(url);
}

void WebBrowserView::GoBack() {
    run(m_session.leaveOwnPage());
    livePage()->triggerAction(QWebEnginePage::Back);
}
void WebBrowserView::GoForward() {
    run(m_session.leaveOwnPage());
    livePage()->triggerAction(QWebEnginePage::Forward);
}
void WebBrowserView::GoHome() {
    Navigate(m_homeUrl.toString());
}
void WebBrowserView::Refresh() {
    // Refreshing the program's own page means: try the page it stands in for again.
    if (const auto address = m_session.refreshAddress()) {
        Navigate(urlFromEncoded(*address).toString());
        return;
    }
    run(m_session.use());
    livePage()->triggerAction(QWebEnginePage::Reload);
}
void WebBrowserView::Stop() {
    m_page->triggerAction(QWebEnginePage::Stop);
}

void WebBrowserView::setFrozen(bool frozen) {
    using State = QWebEnginePage::LifecycleState;
    const State wanted = frozen ? State::Frozen : State::Active;
    if (m_page->lifecycleState() == wanted) return;
    m_page->setLifecycleState(wanted);
    // A question asked before the page froze may never be answered, and one asked while it was
    // frozen would have been waiting for all that time: the next round asks afresh.
    forgetProbe();
    if (m_trace.enabled()) m_trace.record("lifecycle", {{"browser", objectName()}, {"frozen", frozen}});
}

void WebBrowserView::showEvent(QShowEvent* event) {
    BrowserView::showEvent(event);
    run(m_session.shown(now()));
}

void WebBrowserView::hideEvent(QHideEvent* event) {
    BrowserView::hideEvent(event);
    run(m_session.hidden());
}

QString WebBrowserView::LocationURL() const {
    if (!m_session.ownPageFor().empty()) return urlFromEncoded(m_session.ownPageFor()).toString();
    const QUrl url = m_page->url();
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
}

QString WebBrowserView::LocationName() const {
    const QString title = m_page->title();
    if (!title.isEmpty()) return title;
    const QUrl url = m_page->url();
    return url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : url.toDisplayString();
}

QString WebBrowserView::DocumentTitle() const {
    return m_page->title();
}

void WebBrowserView::setSilent(bool silent) {
    m_silent = silent;
}

}  // namespace pluvik

#include "platform/web_browser_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QPrinter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <algorithm>
#include <array>

#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "platform/frame_pacer.h"
#include "platform/media_watch.h"
#include "platform/qt_text.h"
#include "platform/renderer_watchdog.h"
#include "platform/shell_opener.h"
#include "platform/trace.h"
#include "shell/page_files.h"

namespace pluvik {

namespace {

// The engine asks "leave this page?" through the confirmation hook, with this text of its own.
bool isLeaveQuestion(const QString& message) {
    return message ==
           QCoreApplication::translate(
               "QWebEnginePage",
               "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

}  // namespace

// A page that, in silent mode, raises no dialog of its own: script alerts, confirmations and
// prompts are answered "no", permission requests are denied and bad certificates are refused.
// "Leave this page?" is always answered "leave": a page must never keep the program from a search,
// a blank page or an address the user gave.
class SilentPage : public QWebEnginePage {
public:
    SilentPage(QWebEngineProfile* profile, const bool* silent, QObject* parent)
        : QWebEnginePage(profile, parent), m_silent(silent) {
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                    if (*m_silent) setFeaturePermission(origin, feature, PermissionDeniedByUser);
                });
        connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError& error) {
            QWebEngineCertificateError e = error;
            e.rejectCertificate();
        });
        // Authentication requests are left unanswered, which cancels them: no dialog appears.
        // Addresses of other programs (mail, messengers, download tools) are never handed to the
        // desktop from a page: a page could start any handler that way.
        settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    }

protected:
    void javaScriptAlert(const QUrl& origin, const QString& msg) override {
        if (!*m_silent) QWebEnginePage::javaScriptAlert(origin, msg);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override {
        if (*m_silent) return isLeaveQuestion(msg);
        return QWebEnginePage::javaScriptConfirm(origin, msg);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& def,
                          QString* result) override {
        return *m_silent ? false : QWebEnginePage::javaScriptPrompt(origin, msg, def, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {
        // Pages' console output is theirs, not the program's.
    }

private:
    const bool* m_silent;
};

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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);
    layout->addWidget(m_view);
    FramePacer::attach(m_view, animation);
    installPage(newPage());
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool) {
        m_printing = false;
        m_printer.reset();
        m_freeze.printFinished();
        updateLifecycle();
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
    m_loading = false;
    m_freeze = FreezeRule{};
    m_freeze.setVisible(isVisible());
    forgetProbe();
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_loading = true;
        m_freeze.loadStarted();
        updateLifecycle();
        forgetProbe();
        if (m_trace.enabled())
            m_trace.record("load_started", {{"browser", objectName()}, {"window", window()->objectName()}});
        emit DownloadBegin();
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_loading = false;
        m_freeze.loadFinished(ok);
        if (ok) {
            m_pendingAddress.clear();
            worked();
        }
        forgetProbe();
        if (m_trace.enabled())
            m_trace.record("load_finished", {{"browser", objectName()},
                                             {"window", window()->objectName()},
                                             {"url", m_page->url().toString(QUrl::FullyEncoded)},
                                             {"ok", ok},
                                             {"own_page", !m_ownPageFor.isEmpty()},
                                             {"pid", m_pid}});
        emit DownloadComplete(ok);
        emit DocumentComplete();
        updateLifecycle();
        // A page on its way into a process the watchdog has just ended never arrives, and the tab
        // hears of no dead renderer of its own: it asks once more. A tab whose own renderer ended
        // is looked after by onRenderProcessTerminated, whichever of the two reports comes first: a
        // second load there would bring a stopped page back, to hang its next process too.
        auto ownRendererEnded = [this](int withinMs) {
            return m_lastRendererEnd.isValid() && m_lastRendererEnd.elapsed() < withinMs;
        };
        if (!ok && m_watchdog && m_watchdog->endedJustNow() && !ownRendererEnded(kRecoveryDelayMs) &&
            !m_pendingAddress.isEmpty() && !recoveredRecently()) {
            m_sinceRecovery.start();
            const QUrl address = m_pendingAddress;
            QTimer::singleShot(kRecoveryDelayMs, this, [this, address, ownRendererEnded] {
                if (!ownRendererEnded(2 * kRecoveryDelayMs)) Navigate(address.toString());
            });
        }
    });
    connect(page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        // Until the page names itself the engine shows (part of) its address as the title; a title
        // of its own means the renderer parsed the page's document.
        if (!title.isEmpty() && !m_page->url().toString().contains(title)) worked();
        emit TitleChange();
    });
    // Progress and a new process are the engine's news, not the renderer's: they say nothing of
    // which page a hung renderer was working for.
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) {
        if (pid > 0) m_pid = pid;  // the old number stays known until its end has been handled
        forgetProbe();
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                onRenderProcessTerminated(static_cast<int>(status));
            });
    connect(page, &QWebEnginePage::newWindowRequested, this, &WebBrowserView::onNewWindowRequested);
}

void WebBrowserView::forgetProbe() {
    ++m_probeSerial;  // an answer still on its way belongs to the old page and is not waited for
    m_askedAt.reset();
}

void WebBrowserView::worked() {
    if (m_watchdog) m_workedAt = m_watchdog->now();
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
void WebBrowserView::showOwnPage(OwnPage kind, const QUrl& address) {
    const bool stopped = kind == OwnPage::Stopped;
    const QString title = stopped ? QStringLiteral("网页已停止响应") : QStringLiteral("网页已意外关闭");
    const QString why = stopped
                            ? QStringLiteral("这个网页长时间没有响应，Pluvik 已将它停止，其他网页不受影响。")
                            : QStringLiteral("显示这个网页的进程意外结束了，Pluvik 没有再次打开它。");
    const QString shown = address.toDisplayString().toHtmlEscaped();
    const QString html = QStringLiteral(
                             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                             "<body style=\"font-family: sans-serif; margin: 40px; color: #333\">"
                             "<h2>%1</h2><p>%2</p><p>再次搜索或刷新可以重新打开它：</p>"
                             "<p style=\"word-break: break-all; color: #666\">%3</p></body></html>")
                             .arg(title, why, shown);
    m_ownPageFor = address.isEmpty() ? QUrl(QStringLiteral("about:blank")) : address;
    m_page->setHtml(html, QUrl(QStringLiteral("about:blank")));
}

void WebBrowserView::onRenderProcessTerminated(int status) {
    m_lastRendererEnd.start();
    const qint64 pid = m_pid;
    m_pid = 0;
    forgetProbe();
    const bool hung = m_hung;
    m_hung = false;
    const bool wasLoading = m_loading;
    m_loading = false;
    const QUrl address = !m_ownPageFor.isEmpty()                           ? m_ownPageFor
                         : !m_pendingAddress.isEmpty()                     ? m_pendingAddress
                         : wasLoading && !m_page->requestedUrl().isEmpty() ? m_page->requestedUrl()
                                                                           : m_page->url();
    const bool endedByWatchdog = m_watchdog && m_watchdog->endedByWatchdog(pid);
    // A page that dies again soon after it was loaded again would die over and over.
    const bool diedAgain = recoveredRecently();
    QString action;
    if (hung) {
        action = QStringLiteral("stopped");
    } else if (diedAgain || (!endedByWatchdog && isVisible())) {
        // In front of the user a crash is shown, as any browser shows it, not hidden by a reload.
        action = QStringLiteral("crashed");
    } else {
        action = QStringLiteral("reload");
    }
    m_trace.record("renderer_gone", {{"browser", objectName()},
                                     {"window", window()->objectName()},
                                     {"pid", pid},
                                     {"status", status},
                                     {"url", address.toString(QUrl::FullyEncoded)},
                                     {"action", action}});
    if (!m_hasPage) return;
    // The engine is still tidying up the dead process when it reports it; a page loaded at once
    // would go to the dying process and die with it.
    QTimer::singleShot(kRecoveryDelayMs, this, [this, action, address] {
        if (action == QLatin1String("reload")) {
            m_sinceRecovery.start();
            m_ownPageFor.clear();
            wake();
            m_page->load(address);
        } else {
            m_sinceRecovery.invalidate();
            showOwnPage(action == QLatin1String("stopped") ? OwnPage::Stopped : OwnPage::Crashed, address);
        }
    });
}

void WebBrowserView::onNewWindowRequested(QWebEngineNewWindowRequest& request) {
    // Only the user opens windows: a page that opens them by itself (on load, from a timer) gets
    // none, however often it asks.
    if (!request.isUserInitiated()) {
        m_trace.record("popup_refused", {{"browser", objectName()},
                                         {"window", window()->objectName()},
                                         {"url", request.requestedUrl().toString(QUrl::FullyEncoded)}});
        return;
    }
    NewWindowSlot slot{request.requestedUrl(), nullptr};
    emit NewWindow2(slot);
    if (m_trace.enabled())
        m_trace.record("new_window", {{"browser", objectName()},
                                      {"url", slot.requestedUrl.toString(QUrl::FullyEncoded)},
                                      {"target", slot.target ? slot.target->objectName() : QString()}});
    if (auto* target = qobject_cast<WebBrowserView*>(slot.target)) {
        // A fresh page takes the new window, so whatever the target showed before cannot get in
        // the way of the adoption.
        SilentPage* page = target->newPage();
        target->installPage(page);
        target->m_hasPage = true;
        target->fitHiddenView();
        request.openIn(page);
        return;
    }
    if (slot.target) {
        slot.target->Navigate(slot.requestedUrl.toString());
        return;
    }
    // The desktop gets web addresses only: anything else would start whatever handler the desktop
    // has for it.
    const QString scheme = slot.requestedUrl.scheme();
    if (!slot.requestedUrl.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        m_trace.record("popup_refused",
                       {{"browser", objectName()}, {"url", slot.requestedUrl.toString(QUrl::FullyEncoded)}});
        return;
    }
    m_shell.open(this, slot.requestedUrl);
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
    m_hasPage = true;
    m_ownPageFor.clear();
    m_pendingAddress = url;
    wake();
    fitHiddenView();
    if (m_trace.enabled())
        m_trace.record("navigate", {{"browser", objectName()},
                                    {"window", window()->objectName()},
                                    {"address", address},
                                    {"url", url.toString(QUrl::FullyEncoded)}});
    m_page->load(url);
}

void WebBrowserView::GoBack() {
    wake();
    m_ownPageFor.clear();
    m_page->triggerAction(QWebEnginePage::Back);
}
void WebBrowserView::GoForward() {
    wake();
    m_ownPageFor.clear();
    m_page->triggerAction(QWebEnginePage::Forward);
}
void WebBrowserView::GoHome() {
    Navigate(m_homeUrl.toString());
}
void WebBrowserView::Refresh() {
    // Refreshing the program's own page means: try the page it stands in for again.
    if (!m_ownPageFor.isEmpty()) {
        Navigate(m_ownPageFor.toString());
        return;
    }
    wake();
    m_page->triggerAction(QWebEnginePage::Reload);
}
void WebBrowserView::Stop() {
    m_page->triggerAction(QWebEnginePage::Stop);
}

// When a page may be frozen is FreezeRule's to say; the view tells it what the page reports and holds.
void WebBrowserView::updateLifecycle() {
    m_freeze.setRenderer(m_page->renderProcessPid() > 0);
    m_freeze.setOwnPage(!m_ownPageFor.isEmpty());
    setFrozen(m_freeze.frozen());
}

void WebBrowserView::wake() {
    m_freeze.use();
    updateLifecycle();
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
    m_freeze.setVisible(true);
    updateLifecycle();
}

void WebBrowserView::hideEvent(QHideEvent* event) {
    BrowserView::hideEvent(event);
    m_freeze.setVisible(false);
    updateLifecycle();
}

QString WebBrowserView::LocationURL() const {
    if (!m_ownPageFor.isEmpty()) return m_ownPageFor.toString();
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

bool WebBrowserView::ExecWB(BrowserCommand command, const PageLabel& label) {
    if (!m_hasPage) return false;
    wake();
    return command == BrowserCommand::SaveAs ? saveAs(label) : print(label);
}

// "保存网页 - 百度": with 23 dialogs in a row the user sees whose page each one is for.
static QString dialogCaption(const QString& action, const PageLabel& label) {
    return label.owner.isEmpty() ? action : action + QStringLiteral(" - ") + label.owner;
}

// The label's name, or one from the page itself when the caller gave none.
QString WebBrowserView::proposedName(const PageLabel& label) const {
    if (!label.name.isEmpty()) return label.name;
    return toQ(proposedPageName(toStd(m_page->title()), toStd(m_page->url().toString()), {}, {}));
}

bool WebBrowserView::saveAs(const PageLabel& label) {
    static const QStringList kFilters{QStringLiteral("网页，全部 (*.htm *.html)"),
                                      QStringLiteral("网页，仅 HTML (*.htm *.html)"),
                                      QStringLiteral("Web 档案，单个文件 (*.mht *.mhtml)")};
    static constexpr std::array<QWebEngineDownloadRequest::SavePageFormat, 3> kFormats{
        QWebEngineDownloadRequest::CompleteHtmlSaveFormat, QWebEngineDownloadRequest::SingleHtmlSaveFormat,
        QWebEngineDownloadRequest::MimeHtmlSaveFormat};
    const auto answer =
        m_dialogs.askSavePath(this, {dialogCaption(QStringLiteral("保存网页"), label),
                                     QDir::home().filePath(proposedName(label) + ".htm"), kFilters});
    if (!answer) return false;
    m_page->save(answer->path, kFormats.at(static_cast<size_t>(std::clamp(answer->filterIndex, 0, 2))));
    return true;
}

namespace {
constexpr int kPrintResolution = 300;
}  // namespace

bool WebBrowserView::print(const PageLabel& label) {
    if (m_printing) return false;  // one print job per page at a time
    // The printer must outlive the asynchronous print job, so the view keeps it.
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The engine hands every page over as a picture at the printer's resolution. Asked for "high"
    // resolution a PDF printer takes 1200 dots per inch: over 500 MB and seconds of work per page.
    // 300 dots per inch print text sharply at a sixteenth of that.
    m_printer->setResolution(kPrintResolution);
    // The print dialog proposes the document's name for printing to a file; the extension keeps a
    // dot in the name from being taken for one.
    m_printer->setDocName(proposedName(label) + QStringLiteral(".pdf"));
    if (!m_dialogs.askPrinter(this, *m_printer, dialogCaption(QStringLiteral("打印"), label))) {
        m_printer.reset();
        return false;
    }
    m_printing = true;
    m_freeze.printStarted();
    m_view->print(m_printer.get());
    return true;
}

WebBrowserFactory::WebBrowserFactory(QWebEngineProfile* profile, QUrl homeUrl, Trace& trace, Dialogs& dialogs,
                                     ShellOpener& shell, const AnimationRate* animation)
    : m_profile(profile),
      m_homeUrl(std::move(homeUrl)),
      m_trace(trace),
      m_dialogs(dialogs),
      m_shell(shell),
      m_watchdog(std::make_unique<RendererWatchdog>(&trace)),
      m_animation(animation) {}

WebBrowserFactory::~WebBrowserFactory() = default;

BrowserView* WebBrowserFactory::create(QWidget* parent, const QString& objectName) {
    auto* view = new WebBrowserView(m_profile, m_homeUrl, m_trace, m_dialogs, m_shell, parent,
                                    m_watchdog.get(), m_animation);
    view->setObjectName(objectName);
    return view;
}

QWebEngineProfile* createSharedProfile(QObject* parent) {
    auto* profile = new QWebEngineProfile(QStringLiteral("Pluvik"), parent);
    profile->setPersistentStoragePath(userDataDirectory() + "/browser");
    profile->setCachePath(userCacheDirectory() + "/browser");
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    return profile;
}

}  // namespace pluvik

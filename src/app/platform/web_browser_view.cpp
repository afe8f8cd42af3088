#include "platform/web_browser_view.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <algorithm>
#include <array>

#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "platform/trace.h"
#include "windows/open_link.h"

namespace pluvik {

// A page that, in silent mode, raises no dialog of its own: script alerts, confirmations and
// prompts are answered "no", permission requests are denied and bad certificates are refused.
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
    }

protected:
    void javaScriptAlert(const QUrl& origin, const QString& msg) override {
        if (!*m_silent) QWebEnginePage::javaScriptAlert(origin, msg);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override {
        return *m_silent ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
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

WebBrowserView::WebBrowserView(QWebEngineProfile* profile, QUrl homeUrl, Trace* trace, Dialogs* dialogs,
                               ShellOpener* shell, QWidget* parent)
    : BrowserView(parent),
      m_profile(profile),
      m_homeUrl(std::move(homeUrl)),
      m_trace(trace),
      m_dialogs(dialogs),
      m_shell(shell) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);
    layout->addWidget(m_view);
    installPage(newPage());
    connect(m_view, &QWebEngineView::printFinished, this, [this](bool) {
        m_printing = false;
        m_printer.reset();
    });
}

WebBrowserView::~WebBrowserView() {
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
    m_view->setPage(page);
    if (old) old->deleteLater();

    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        if (m_trace->enabled())
            m_trace->record("load_started", {{"browser", objectName()}, {"window", window()->objectName()}});
        emit DownloadBegin();
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (m_trace->enabled())
            m_trace->record("load_finished", {{"browser", objectName()},
                                              {"window", window()->objectName()},
                                              {"url", m_page->url().toString(QUrl::FullyEncoded)},
                                              {"ok", ok}});
        emit DownloadComplete(ok);
        emit DocumentComplete();
    });
    connect(page, &QWebEnginePage::titleChanged, this, [this] { emit TitleChange(); });
    connect(page, &QWebEnginePage::newWindowRequested, this, &WebBrowserView::onNewWindowRequested);
}

void WebBrowserView::onNewWindowRequested(QWebEngineNewWindowRequest& request) {
    NewWindowSlot slot{request.requestedUrl(), nullptr};
    emit NewWindow2(slot);
    if (m_trace->enabled())
        m_trace->record("new_window", {{"browser", objectName()},
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
    if (!slot.requestedUrl.isValid()) return;
    if (m_shell)
        m_shell->open(this, slot.requestedUrl);
    else
        QDesktopServices::openUrl(slot.requestedUrl);
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
    fitHiddenView();
    if (m_trace->enabled())
        m_trace->record("navigate", {{"browser", objectName()},
                                     {"window", window()->objectName()},
                                     {"address", address},
                                     {"url", url.toString(QUrl::FullyEncoded)}});
    m_page->load(url);
}

void WebBrowserView::GoBack() {
    m_page->triggerAction(QWebEnginePage::Back);
}
void WebBrowserView::GoForward() {
    m_page->triggerAction(QWebEnginePage::Forward);
}
void WebBrowserView::GoHome() {
    Navigate(m_homeUrl.toString());
}
void WebBrowserView::Refresh() {
    m_page->triggerAction(QWebEnginePage::Reload);
}
void WebBrowserView::Stop() {
    m_page->triggerAction(QWebEnginePage::Stop);
}

QString WebBrowserView::LocationURL() const {
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

bool WebBrowserView::ExecWB(BrowserCommand command) {
    if (!m_hasPage) return false;
    return command == BrowserCommand::SaveAs ? saveAs() : print();
}

bool WebBrowserView::saveAs() {
    QString name = m_page->title().trimmed();
    if (name.isEmpty()) name = QFileInfo(m_page->url().path()).baseName();
    if (name.isEmpty()) name = QStringLiteral("page");
    name.replace(QRegularExpression(R"([\\/:*?"<>|])"), "_");
    static const QStringList kFilters{QStringLiteral("网页，全部 (*.htm *.html)"),
                                      QStringLiteral("网页，仅 HTML (*.htm *.html)"),
                                      QStringLiteral("Web 档案，单个文件 (*.mht *.mhtml)")};
    static constexpr std::array<QWebEngineDownloadRequest::SavePageFormat, 3> kFormats{
        QWebEngineDownloadRequest::CompleteHtmlSaveFormat, QWebEngineDownloadRequest::SingleHtmlSaveFormat,
        QWebEngineDownloadRequest::MimeHtmlSaveFormat};
    const auto answer = m_dialogs->askSavePath(
        this, {QStringLiteral("保存网页"), QDir::home().filePath(name + ".htm"), kFilters});
    if (!answer) return false;
    m_page->save(answer->path, kFormats.at(static_cast<size_t>(std::clamp(answer->filterIndex, 0, 2))));
    return true;
}

namespace {
constexpr int kPrintResolution = 300;
}  // namespace

bool WebBrowserView::print() {
    if (m_printing) return false;  // one print job per page at a time
    // The printer must outlive the asynchronous print job, so the view keeps it.
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The engine hands every page over as a picture at the printer's resolution. Asked for "high"
    // resolution a PDF printer takes 1200 dots per inch: over 500 MB and seconds of work per page.
    // 300 dots per inch print text sharply at a sixteenth of that.
    m_printer->setResolution(kPrintResolution);
    if (!m_dialogs->askPrinter(this, *m_printer)) {
        m_printer.reset();
        return false;
    }
    m_printing = true;
    m_view->print(m_printer.get());
    return true;
}

BrowserView* WebBrowserFactory::create(QWidget* parent, const QString& objectName) {
    auto* view = new WebBrowserView(m_profile, m_homeUrl, m_trace, m_dialogs, m_shell, parent);
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

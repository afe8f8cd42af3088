#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>

#include "browse/hang_watch.h"
#include "browse/page_session.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"

class QWebEngineView;
class QWebEngineProfile;
class QWebEnginePage;
class QWebEngineNewWindowRequest;
class QWebEngineLoadingInfo;
class QPrinter;

namespace pluvik {

class Trace;
class Dialogs;
class ShellOpener;
class SilentPage;
class RendererWatchdog;
class AnimationRate;

// BrowserView on Qt WebEngine. All views share one persistent profile (cookies, HTTP cache).
class WebBrowserView : public BrowserView {
    Q_OBJECT
public:
    // `shell` opens the pages that no window of the program takes (the system web browser).
    // `watchdog`, when given, ends the renderer process of a page that stops answering.
    // `animation`: the frame rate of the page's own animation (FramePacer), none for every frame.
    WebBrowserView(QWebEngineProfile* profile, QUrl homeUrl, Trace& trace, Dialogs& dialogs,
                   ShellOpener& shell, QWidget* parent, RendererWatchdog* watchdog = nullptr,
                   const AnimationRate* animation = nullptr);
    ~WebBrowserView() override;

    void Navigate(const QString& address) override;
    void GoBack() override;
    void GoForward() override;
    void GoHome() override;
    void Refresh() override;
    void Stop() override;
    bool ExecWB(BrowserCommand command, const PageLabel& label) override;

    QString LocationURL() const override;
    QString LocationName() const override;
    QString DocumentTitle() const override;
    bool hasPage() const override { return m_session.hasPage(); }
    bool waitsForReload() const override { return !m_session.reloadWhenShown().empty(); }
    void reloadHidden() override { run(m_session.reloadNow(now())); }

    void setSilent(bool silent) override;
    bool isSilent() const override { return m_silent; }
    void checkKeyword(const QString& keyword) override;

    // Turns an address as the program writes it (a URL, a local path, a bare word) into a URL.
    static QUrl addressToUrl(const QString& address);

    QWebEngineView* view() const { return m_view; }

    // The page's renderer process; after its end, until the tab has handled it, the process it had.
    qint64 rendererPid() const;
    bool isLoading() const { return m_session.loading(); }

    // For the watchdog: the page as it sees it, the handle it names the page by, a question to the
    // page (its answer reaches the watchdog), forgetting the open question (the next round asks
    // again), and marking the page as the one that hangs its process, which is about to be ended:
    // this tab then shows the program's own page.
    WatchedPage watched() const;
    PageHandle handle() const { return reinterpret_cast<PageHandle>(this); }
    void probe(qint64 now);
    void forgetProbe();
    void markHung() { m_session.markHung(); }
    // The page's rules and what it knows (how its latest load ended, among others).
    const PageSession& session() const { return m_session; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    SilentPage* newPage();
    void installPage(SilentPage* page);
    void fitHiddenView();
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void onRenderProcessTerminated(int status);
    // The page to load into: after its renderer's end, fresh engine contents take it first.
    SilentPage* livePage();
    // Carries out what the page's session decided.
    void run(const PageSteps& steps);
    void showOwnPage(OwnPage kind, const QString& address);
    void setFrozen(bool frozen);
    void traced(const QString& event, QVariantMap fields);
    qint64 now() const { return m_clock.elapsed(); }
    QString proposedName(const PageLabel& label) const;
    bool saveAs(const PageLabel& label);
    bool print(const PageLabel& label);

    QWebEngineProfile* m_profile;
    QUrl m_homeUrl;
    Trace& m_trace;
    Dialogs& m_dialogs;
    ShellOpener& m_shell;
    QWebEngineView* m_view;
    SilentPage* m_page = nullptr;
    bool m_silent = false;
    bool m_printing = false;
    bool m_rendererEnded = false;  // the page's renderer ended, and nothing was loaded into it since
    std::unique_ptr<QPrinter> m_printer;

    QPointer<RendererWatchdog> m_watchdog;
    PageSession m_session;
    QElapsedTimer m_clock;
    QTimer m_due;  // the session's one timer
    qint64 m_pid = 0;
    std::optional<qint64> m_askedAt;  // when the open question to the page was asked (watchdog's clock)
    qint64 m_workedAt = 0;
    quint64 m_probeSerial = 0;
};

class WebBrowserFactory : public BrowserFactory {
public:
    // animation: the frame rate of pages' own animations (see FramePacer), none for every frame.
    WebBrowserFactory(QWebEngineProfile* profile, QUrl homeUrl, Trace& trace, Dialogs& dialogs,
                      ShellOpener& shell, const AnimationRate* animation = nullptr);
    ~WebBrowserFactory() override;
    BrowserView* create(QWidget* parent, const QString& objectName) override;

    RendererWatchdog& watchdog() { return *m_watchdog; }

private:
    QWebEngineProfile* m_profile;
    QUrl m_homeUrl;
    Trace& m_trace;
    Dialogs& m_dialogs;
    ShellOpener& m_shell;
    std::unique_ptr<RendererWatchdog> m_watchdog;
    const AnimationRate* m_animation;
};

// The shared, persistent browser profile in the user's data and cache directories.
QWebEngineProfile* createSharedProfile(QObject* parent);

}  // namespace pluvik

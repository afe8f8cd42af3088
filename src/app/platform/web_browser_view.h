#pragma once

#include <QPointer>
#include <memory>

#include "platform/browser_factory.h"
#include "platform/browser_view.h"

class QWebEngineView;
class QWebEngineProfile;
class QWebEnginePage;
class QWebEngineNewWindowRequest;
class QPrinter;

namespace pluvik {

class Trace;
class Dialogs;
class ShellOpener;
class SilentPage;

// BrowserView on Qt WebEngine. All views share one persistent profile (cookies, HTTP cache).
class WebBrowserView : public BrowserView {
    Q_OBJECT
public:
    // `shell` opens the pages that no window of the program takes (the system web browser).
    WebBrowserView(QWebEngineProfile* profile, QUrl homeUrl, Trace* trace, Dialogs* dialogs,
                   ShellOpener* shell, QWidget* parent);
    ~WebBrowserView() override;

    void Navigate(const QString& address) override;
    void GoBack() override;
    void GoForward() override;
    void GoHome() override;
    void Refresh() override;
    void Stop() override;
    bool ExecWB(BrowserCommand command) override;

    QString LocationURL() const override;
    QString LocationName() const override;
    QString DocumentTitle() const override;
    bool hasPage() const override { return m_hasPage; }

    void setSilent(bool silent) override;
    bool isSilent() const override { return m_silent; }

    // Turns an address as the program writes it (a URL, a local path, a bare word) into a URL.
    static QUrl addressToUrl(const QString& address);

    QWebEngineView* view() const { return m_view; }

private:
    SilentPage* newPage();
    void installPage(SilentPage* page);
    void fitHiddenView();
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    bool saveAs();
    bool print();

    QWebEngineProfile* m_profile;
    QUrl m_homeUrl;
    Trace* m_trace;
    Dialogs* m_dialogs;
    ShellOpener* m_shell;
    QWebEngineView* m_view;
    SilentPage* m_page = nullptr;
    bool m_silent = false;
    bool m_hasPage = false;
    bool m_printing = false;
    std::unique_ptr<QPrinter> m_printer;
};

class WebBrowserFactory : public BrowserFactory {
public:
    WebBrowserFactory(QWebEngineProfile* profile, QUrl homeUrl, Trace* trace, Dialogs* dialogs,
                      ShellOpener* shell = nullptr)
        : m_profile(profile),
          m_homeUrl(std::move(homeUrl)),
          m_trace(trace),
          m_dialogs(dialogs),
          m_shell(shell) {}
    BrowserView* create(QWidget* parent, const QString& objectName) override;

private:
    QWebEngineProfile* m_profile;
    QUrl m_homeUrl;
    Trace* m_trace;
    Dialogs* m_dialogs;
    ShellOpener* m_shell;
};

// The shared, persistent browser profile in the user's data and cache directories.
QWebEngineProfile* createSharedProfile(QObject* parent);

}  // namespace pluvik

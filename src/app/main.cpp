#include <QApplication>
#include <QNetworkProxyFactory>
#include <QUrl>
#include <QWebEngineProfile>
#include <memory>

#include "app_context.h"
#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"
#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "cleaner/cleaner_services.h"
#include "cleaner/url_history_recorder.h"
#include "search/main_window.h"
#include "windows/open_link.h"
#include "shell/settings.h"

int main(int argc, char** argv) {
    // Twenty-three result pages do not need twenty-three renderer processes: four share them, which
    // costs a third less memory, and every tab still loads and keeps its page (see bench/memory).
    // Flags the user sets take precedence.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--renderer-process-limit=4");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pluvik"));
    QApplication::setApplicationVersion(QStringLiteral("6.2.368"));
    // The browser and the update check both follow the system proxy (http_proxy on Linux).
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    pluvik::Trace trace;
    const QString programDir = pluvik::programDirectory();
    pluvik::SettingsStore settings(pluvik::toStd(programDir));
    pluvik::Dialogs dialogs;
    pluvik::ShellOpener shell;
    QWebEngineProfile* profile = pluvik::createSharedProfile(nullptr);
    // Made before any browser exists: the cookie side of the cache learns of cookies from then on.
    auto cleaner = std::make_unique<pluvik::CleanerServices>(profile);
    pluvik::WebBrowserFactory webBrowsers(profile, QUrl::fromLocalFile(pluvik::startPagePath(programDir)), &trace,
                                          &dialogs, &shell);
    // Every browser of every window records its visits in the URL history.
    pluvik::RecordingBrowserFactory browsers(webBrowsers, cleaner->recorder());

    pluvik::AppContext context{settings, browsers, dialogs, trace, programDir};
    context.shell = &shell;
    context.history = &cleaner->history();
    context.urlCache = &cleaner->cache();
    auto browseWindows = std::make_unique<pluvik::BrowseWindows>(context);
    context.browseWindows = browseWindows.get();
    // Windows come and go (the main window may sit hidden in the tray); the exit sequence ends the
    // program, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);
    auto window = std::make_unique<pluvik::MainWindow>(context);
    window->show();
    const int rc = app.exec();

    // Every page must be gone before the profile it belongs to.
    window.reset();
    browseWindows.reset();
    cleaner.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete profile;
    return rc;
}

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QNetworkProxyFactory>
#include <QTranslator>
#include <QUrl>
#include <QWebEngineProfile>
#include <filesystem>
#include <memory>
#include <vector>

#include "app_context.h"
#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "cleaner/cleaner_services.h"
#include "cleaner/url_history_recorder.h"
#include "platform/animation_rate.h"
#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "platform/engine_flags.h"
#include "platform/qt_text.h"
#include "platform/render_setup.h"
#include "platform/resources.h"
#include "platform/shell_opener.h"
#include "platform/stall_watch.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"
#include "search/engine_catalogue.h"
#include "search/host_overrides.h"
#include "search/main_window.h"
#include "shell/settings.h"
#include "shell/window_placement.h"
#include "windows/downloads.h"

int main(int argc, char** argv) {
    // Twenty-three result pages do not need twenty-three renderer processes: four share them, which
    // costs a third less memory, and every tab still loads and keeps its page (see bench/memory). The
    // engine speaks Chinese like the rest of the program (its error pages and built-in texts), and
    // keeps a renderer's caches while the user searches on. Flags the user sets take precedence.
    pluvik::applyEngineFlags();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pluvik"));
    QApplication::setApplicationVersion(QStringLiteral("6.2.368"));
    // Ties the windows to the installed desktop entry (its icon and name in docks and switchers).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pluvik.Pluvik"));
    // The browser and the update check both follow the system proxy (http_proxy on Linux).
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    // Every window carries the program's icon, the dialogs and message boxes of Qt's own too.
    pluvik::initAppResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pluvik/pluvik.png")));

    pluvik::Trace trace;
    // A main thread that stands still for seconds says where, in the trace.
    const pluvik::StallWatch stallWatch(trace);
    // How pages reach the screen, chosen before the first browser view: where GL is Mesa's software
    // renderer the GL path costs several times the CPU of the software one (see bench/idle).
    const pluvik::RenderChoice render = pluvik::applyRenderPath(trace);
    // Qt's own texts (the context menus of text boxes and pages, the print and file dialogs) in
    // Chinese like the program's, whatever the user's locale. A missing catalogue leaves them English.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    std::vector<std::unique_ptr<QTranslator>> translators;
    QStringList catalogues;
    for (const QString& name : {QStringLiteral("qtbase_zh_CN"), QStringLiteral("qtwebengine_zh_CN")}) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) continue;
        QCoreApplication::installTranslator(translator.get());
        translators.push_back(std::move(translator));
        catalogues << name;
    }
    trace.record("translations", {{"loaded", catalogues}});

    const pluvik::ProgramDirectory programDirectory = pluvik::resolveProgramDirectory();
    const QString programDir = programDirectory.path;
    trace.record("program_directory", {{"path", programDir},
                                       {"kind", pluvik::kindName(programDirectory.kind)},
                                       {"seeded", programDirectory.seeded},
                                       {"usable", programDirectory.usable}});
    // Read once, before any window builds an address.
    const pluvik::HostOverrides hosts = pluvik::applyHostOverridesFile(
        std::filesystem::path(pluvik::toStd(programDir)) / pluvik::kHostOverridesFileName);
    for (const pluvik::HostOverride& o : hosts.overrides)
        trace.record("host_override", {{"key", pluvik::toQ(pluvik::serviceKey(o.service))},
                                       {"address", pluvik::toQ(o.origin)}});
    const auto traceIgnored = [&trace](const QString& event, const std::vector<pluvik::IgnoredLine>& lines) {
        for (const pluvik::IgnoredLine& line : lines)
            trace.record(event, {{"line", line.line},
                                 {"text", pluvik::toQ(line.text)},
                                 {"reason", pluvik::toQ(line.reason)}});
    };
    traceIgnored(QStringLiteral("host_override_ignored"), hosts.ignored);
    // Whole query addresses the user replaced, read once like the hosts; every replacement, then and
    // while the program runs, is noted in the trace.
    pluvik::EngineCatalogue catalogue;
    catalogue.listen([&trace](const std::string& key, const pluvik::AddressTemplate& address) {
        trace.record(
            "engine_address",
            {{"key", pluvik::toQ(key)},
             {"address", pluvik::toQ(address.before + std::string(pluvik::kKeywordPlace) + address.after)},
             {"encoding", address.encoding == pluvik::KeywordEncoding::Utf8 ? "utf-8" : "gbk"}});
    });
    const pluvik::EngineAddresses engines = catalogue.applyFile(
        std::filesystem::path(pluvik::toStd(programDir)) / pluvik::kEngineAddressesFileName);
    traceIgnored(QStringLiteral("engine_address_ignored"), engines.ignored);
    pluvik::SettingsStore settings(pluvik::toStd(programDir));
    pluvik::Dialogs dialogs;
    pluvik::ShellOpener shell(dialogs);
    QWebEngineProfile* profile = pluvik::createSharedProfile(nullptr);
    // Sent as it stands on every request of every window.
    profile->setHttpAcceptLanguage(QStringLiteral("zh-CN,zh;q=0.9"));
    // Made before any browser exists: the cookie side of the cache learns of cookies from then on.
    auto cleaner = std::make_unique<pluvik::CleanerServices>(profile);
    // Downloads started by any page of any window: the save dialog and the download window.
    auto downloads = std::make_unique<pluvik::Downloads>(profile, dialogs, trace);
    // The rate of pages' own animations, as the user chose it, read once the program directory is known.
    pluvik::AnimationRate animation(render.path, programDir, trace);
    pluvik::WebBrowserFactory webBrowsers(profile, QUrl::fromLocalFile(pluvik::startPagePath(programDir)),
                                          trace, dialogs, shell, &animation);
    // Every browser of every window records its visits in the URL history.
    pluvik::RecordingBrowserFactory browsers(webBrowsers, cleaner->recorder());

    const pluvik::ProgramServices services{settings, catalogue, browsers,   dialogs,
                                           trace,    shell,     programDir, animation};
    auto browseWindows = std::make_unique<pluvik::BrowseWindows>(services);
    // Windows come and go (the main window may sit hidden in the tray); the exit sequence ends the
    // program, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);
    // Every window opens wholly on the main window's screen.
    pluvik::WindowPlacement placement;
    auto window =
        std::make_unique<pluvik::MainWindow>(pluvik::AppContext{services, *browseWindows},
                                             pluvik::CleanerStores{cleaner->history(), cleaner->cache()});
    placement.setMainWindow(window.get());
    window->show();
    const int rc = app.exec();

    // Every page must be gone before the profile it belongs to.
    window.reset();
    browseWindows.reset();
    cleaner.reset();
    downloads.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete profile;
    return rc;
}

#pragma once

#include <QUrl>
#include <functional>
#include <memory>

#include "cleaner/cleaner_services.h"
#include "cleaner/url_history_recorder.h"
#include "platform/web_browser_view.h"
#include "search/engine_catalogue.h"
#include "search/main_window.h"
#include "support/app_fixture.h"
#include "support/test_server.h"
#include "windows/downloads.h"

namespace pluvik::test {

struct EngineOptions {
    QUrl home{QStringLiteral("about:blank")};  // the home page of new browsers
    bool mainWindow = true;
    // The real URL history and cache of the profile, every browser recording its visits, instead of
    // stores in memory.
    bool recordVisits = false;
};

// The program on the real browser engine, put together as main() does it, for the life of this
// object: the local test server as the proxy for every host, a fresh program directory, a trace file,
// message boxes answered "OK" and kept, a desktop that only records, the shared browser profile with
// its downloads, the secondary windows and, unless asked not to, the main window on screen.
class EngineProgram {
public:
    explicit EngineProgram(const EngineOptions& options = {});
    // Every page goes before its profile.
    ~EngineProgram();

    ProgramServices services() {
        return {settings, engines, *browsers, dialogs, trace, shell, programDir, animation};
    }
    // How many trace lines record `event`, with `detail` somewhere in the line.
    int traced(const QByteArray& event, const QByteArray& detail = {}) const;

    TestServer server;
    QTemporaryDir dir;  // the program directory and the trace file are in here, with room for a test's files
    QString programDir;
    SettingsStore settings;
    EngineCatalogue engines;
    Dialogs dialogs;
    std::vector<MessageRequest> messages;
    Trace trace;
    // The program's rate on the software path; the views pace by it only when a test gives it to them.
    AnimationRate animation{RenderPath::Software, programDir, trace};
    RecordingShell shell{dialogs};
    MemoryUrlHistoryStorage history;
    MemoryUrlCache urlCache;
    QWebEngineProfile* profile = nullptr;
    std::unique_ptr<CleanerServices> cleaner;  // with recordVisits only
    std::unique_ptr<Downloads> downloads;
    std::unique_ptr<WebBrowserFactory> webBrowsers;
    std::unique_ptr<RecordingBrowserFactory> recordingBrowsers;
    BrowserFactory* browsers = nullptr;  // the one the windows use
    std::unique_ptr<BrowseWindows> windows;
    std::unique_ptr<MainWindow> window;
};

// Runs the event loop, as the program does, until `done` holds (asked every 50 ms) or timeoutMs have
// passed; whether it holds. QTest's waits process events in bursts between sleeps of their own, and
// waited for that way the engine's twenty-one loads at once may never finish: where many pages load
// together, wait with this.
bool waitInEventLoop(const std::function<bool()>& done, int timeoutMs);

}  // namespace pluvik::test

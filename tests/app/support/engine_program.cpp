#include "support/engine_program.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>

#include "platform/qt_text.h"

namespace pluvik::test {

EngineProgram::EngineProgram(const EngineOptions& options)
    : programDir(dir.path()), settings(toStd(programDir)), trace(dir.filePath("trace.jsonl")) {
    server.useAsProxy();
    // The start page every result tab shows first, where an installed program keeps it. Without it
    // 23 tabs at once make the engine build its slow file error page, and the watchdog takes the
    // busy renderers for hung.
    QFile::copy(QStringLiteral(PLUVIK_SOURCE_DIR "/data/Pluvik.htm"), dir.filePath(QStringLiteral("Pluvik.htm")));
    dialogs.setTestHook([this](const MessageRequest& request) {
        messages.push_back(request);
        return MessageAnswer::Ok;
    });
    profile = createSharedProfile(nullptr);
    // As in main(): the cleaner's cookie store and the downloads hear of the profile before any page.
    if (options.recordVisits) cleaner = std::make_unique<CleanerServices>(profile);
    downloads = std::make_unique<Downloads>(profile, dialogs, trace);
    webBrowsers = std::make_unique<WebBrowserFactory>(profile, options.home, trace, dialogs, shell);
    browsers = webBrowsers.get();
    if (cleaner) {
        recordingBrowsers = std::make_unique<RecordingBrowserFactory>(*webBrowsers, cleaner->recorder());
        browsers = recordingBrowsers.get();
    }
    windows = std::make_unique<BrowseWindows>(services());
    if (!options.mainWindow) return;
    const CleanerStores stores = cleaner ? CleanerStores{cleaner->history(), cleaner->cache()}
                                         : CleanerStores{history, urlCache};
    window = std::make_unique<MainWindow>(AppContext{services(), *windows}, stores);
    window->show();
    static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
}

EngineProgram::~EngineProgram() {
    window.reset();
    windows.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    recordingBrowsers.reset();
    webBrowsers.reset();
    cleaner.reset();
    downloads.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete profile;
}

int EngineProgram::traced(const QByteArray& event, const QByteArray& detail) const {
    QFile file(dir.filePath("trace.jsonl"));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    int count = 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.contains("\"event\":\"" + event + "\"") && line.contains(detail)) ++count;
    return count;
}

bool waitInEventLoop(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    poll.start(50);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

}  // namespace pluvik::test

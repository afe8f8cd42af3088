#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app_context.h"
#include "browse/browse_windows.h"
#include "cleaner/del_search.h"
#include "cleaner/memory_url_cache.h"
#include "cleaner/memory_url_history_storage.h"
#include "platform/animation_rate.h"
#include "platform/dialogs.h"
#include "platform/shell_opener.h"
#include "platform/trace.h"
#include "search/engine_catalogue.h"
#include "shell/settings.h"
#include "shell/window_placement.h"
#include "support/fake_browser_view.h"

namespace pluvik::test {

// A desktop that only records what it is handed, and for which window: no test starts a real
// browser or mail program.
class RecordingShell : public ShellOpener {
public:
    explicit RecordingShell(Dialogs& dialogs) : ShellOpener(dialogs) {
        setTestHook([this](QWidget* owner, const QUrl& url) {
            owners << owner;
            opened << url;
        });
    }
    QList<QUrl> opened;
    QList<QWidget*> owners;
};

// Everything a window needs, on a fresh temporary program directory, with recording browsers,
// message boxes answered by the test and a desktop that only records what it is handed.
class AppFixture {
public:
    AppFixture();

    ProgramServices services() {
        return {*settings, engines, browsers, dialogs, trace, shell, programDir, *animation};
    }
    AppContext context() { return {services(), *windows}; }
    CleanerStores stores() { return {history, urlCache}; }
    // Writes a settings file into the program directory before a window loads.
    void writeProgramFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readProgramFile(const QString& name) const;
    FakeBrowserView* browser(const QString& objectName) const;

    // Answers every message box with `answer` and keeps the requests.
    void answerMessages(MessageAnswer answer);
    std::vector<MessageRequest> messages;

    QTemporaryDir dir;
    QString programDir;
    std::unique_ptr<SettingsStore> settings;
    EngineCatalogue engines;
    FakeBrowserFactory browsers;
    Dialogs dialogs;
    Trace trace{QString()};
    // The animation choice kept in the program directory; no battery.
    std::unique_ptr<AnimationRate> animation;
    MemoryUrlHistoryStorage history;
    MemoryUrlCache urlCache;
    RecordingShell shell{dialogs};
    // Where windows open, as in the program.
    WindowPlacement placement;
    // The secondary browser windows; made last, so they go first.
    std::unique_ptr<BrowseWindows> windows;
};

}  // namespace pluvik::test

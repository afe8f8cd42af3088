#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app_context.h"
#include "cleaner/memory_url_cache.h"
#include "cleaner/memory_url_history_storage.h"
#include "platform/dialogs.h"
#include "platform/trace.h"
#include "shell/settings.h"
#include "support/fake_browser_view.h"

namespace pluvik::test {

// Everything a window needs, on a fresh temporary program directory, with recording browsers and
// message boxes answered by the test.
class AppFixture {
public:
    AppFixture();

    AppContext context() {
        AppContext ctx{*settings, browsers, dialogs, trace, programDir};
        ctx.history = &history;
        ctx.urlCache = &urlCache;
        return ctx;
    }
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
    FakeBrowserFactory browsers;
    Dialogs dialogs;
    Trace trace{QString()};
    MemoryUrlHistoryStorage history;
    MemoryUrlCache urlCache;
};

}  // namespace pluvik::test

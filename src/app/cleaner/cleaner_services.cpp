#include "cleaner/cleaner_services.h"

#include "cleaner/browser_history_storage.h"
#include "cleaner/sqlite_url_history_storage.h"
#include "cleaner/url_history_recorder.h"
#include "cleaner/web_engine_url_cache.h"
#include "platform/app_paths.h"
#include "platform/qt_text.h"

namespace pluvik {

QString CleanerServices::defaultHistoryPath() {
    return userDataDirectory() + "/" + SqliteUrlHistoryStorage::kFileName;
}

CleanerServices::CleanerServices(QWebEngineProfile* profile, const QString& historyPath)
    : m_database(std::make_unique<SqliteUrlHistoryStorage>(toStd(historyPath))),
      m_history(std::make_unique<BrowserHistoryStorage>(*m_database, profile)),
      m_cache(std::make_unique<WebEngineUrlCache>(profile, m_history.get())),
      m_recorder(std::make_unique<UrlHistoryRecorder>(*m_history)) {
    try {
        m_database->open();
    } catch (const HistoryStoreError&) {
        // The file is opened again at its first use; until then nothing needs it.
    }
}

CleanerServices::~CleanerServices() = default;

UrlHistoryStorage& CleanerServices::history() {
    return *m_history;
}
UrlCache& CleanerServices::cache() {
    return *m_cache;
}
UrlHistoryRecorder& CleanerServices::recorder() {
    return *m_recorder;
}
SqliteUrlHistoryStorage& CleanerServices::database() {
    return *m_database;
}

}  // namespace pluvik

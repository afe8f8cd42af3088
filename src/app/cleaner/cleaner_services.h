#pragma once

#include <QString>
#include <memory>

class QWebEngineProfile;

namespace pluvik {

class BrowserHistoryStorage;
class SqliteUrlHistoryStorage;
class UrlCache;
class UrlHistoryRecorder;
class UrlHistoryStorage;
class WebEngineUrlCache;

// What the trace cleaner and the browsers share for the life of the program: the URL history file,
// the history as the browser shows it, the URL cache over the profile, and the recorder of visits.
// Make it right after the shared profile, before any browser exists.
class CleanerServices {
public:
    // "<user data directory>/history.sqlite".
    static QString defaultHistoryPath();

    explicit CleanerServices(QWebEngineProfile* profile, const QString& historyPath = defaultHistoryPath());
    ~CleanerServices();
    CleanerServices(const CleanerServices&) = delete;
    CleanerServices& operator=(const CleanerServices&) = delete;

    // The history for the cleaner's CURLHistory: deleting from it also forgets visited links.
    UrlHistoryStorage& history();
    UrlCache& cache();
    UrlHistoryRecorder& recorder();
    SqliteUrlHistoryStorage& database();

private:
    std::unique_ptr<SqliteUrlHistoryStorage> m_database;
    std::unique_ptr<BrowserHistoryStorage> m_history;
    std::unique_ptr<WebEngineUrlCache> m_cache;
    std::unique_ptr<UrlHistoryRecorder> m_recorder;
};

}  // namespace pluvik

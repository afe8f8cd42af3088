#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/url_history_storage.h"

struct sqlite3;
struct sqlite3_stmt;

namespace pluvik {

struct SqliteHistoryOptions {
    // How long an operation waits for another process that holds the file locked.
    int busyTimeoutMs = 2000;
    // Where the time of a visit comes from; the system clock when empty.
    std::function<FileTime()> clock;
};

// The URL history in one SQLite database file.
//
// The file is opened on first use, and again on the next use after an open failed (locked by
// another process, no room), so a passing problem does not end history for the session. Writes go
// through the write-ahead log: a visit that was recorded survives a crash of the program, and the
// file is never left half-written. A file that turns out to be damaged (not a database, or failing
// the integrity check at open, or reporting damage later) is renamed to
// "<file>.damaged-<date>-<time>" and a new, empty history is started in its place; the operation
// that met the damage is then carried out on the new file. Clearing the history removes those
// set-aside files too, and overwrites deleted entries, so no trace is left in the file.
class SqliteUrlHistoryStorage : public UrlHistoryStorage {
public:
    static constexpr const char* kFileName = "history.sqlite";

    explicit SqliteUrlHistoryStorage(std::string path, SqliteHistoryOptions options = {});
    ~SqliteUrlHistoryStorage() override;
    SqliteUrlHistoryStorage(const SqliteUrlHistoryStorage&) = delete;
    SqliteUrlHistoryStorage& operator=(const SqliteUrlHistoryStorage&) = delete;

    // Opens the file now rather than on first use; raises HistoryStoreError when it cannot.
    void open();
    bool isOpen() const { return m_db != nullptr; }
    const std::string& path() const { return m_path; }
    // The damaged files moved out of the way by this object, oldest first.
    const std::vector<std::string>& setAsideFiles() const { return m_setAside; }

    void addUrl(const std::string& url, const std::string& title, std::uint32_t flags) override;
    void deleteUrl(const std::string& url, std::uint32_t flags) override;
    void clearHistory() override;
    std::vector<StatUrl> enumUrls(const std::string& filter, std::uint32_t flags) override;

private:
    struct StatementDeleter {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

    template <class Operation>
    auto withDatabase(Operation&& operation);
    void openFile();
    void close();
    void setAside();
    void removeSetAsideFiles();
    void exec(const char* sql);
    Statement prepare(const char* sql);
    [[noreturn]] void fail(int rc, const std::string& what);
    FileTime now() const;

    std::string m_path;
    SqliteHistoryOptions m_options;
    sqlite3* m_db = nullptr;
    Statement m_add;
    Statement m_delete;
    Statement m_enum;
    std::vector<std::string> m_setAside;
};

}  // namespace pluvik

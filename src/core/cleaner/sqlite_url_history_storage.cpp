#include "cleaner/sqlite_url_history_storage.h"

#include <sqlite3.h>

#include <ctime>
#include <filesystem>
#include <system_error>

#include "cleaner/file_time.h"
#include "cleaner/history_filter.h"

namespace pluvik {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS url_history (
    id INTEGER PRIMARY KEY,
    url TEXT NOT NULL UNIQUE,
    title TEXT,
    last_visited INTEGER NOT NULL,
    last_updated INTEGER NOT NULL,
    expires INTEGER NOT NULL,
    flags INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS url_history_by_visit ON url_history (last_visited DESC, id DESC);
)sql";

constexpr const char* kSetAsideMark = ".damaged-";

// Raised inside this file when SQLite reports a damaged file; the storage answers it by setting
// the file aside.
class DamagedFile : public HistoryStoreError {
public:
    using HistoryStoreError::HistoryStoreError;
};

bool isDamage(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Resets a cached statement when an operation leaves it, however it leaves.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : m_statement(statement) {}
    ~StatementUse() {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* m_statement;
};

std::optional<std::string> columnText(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(statement, column)));
}

void bindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string timestamp() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
    return buffer;
}

}  // namespace

void SqliteUrlHistoryStorage::StatementDeleter::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

SqliteUrlHistoryStorage::SqliteUrlHistoryStorage(std::string path, SqliteHistoryOptions options)
    : m_path(std::move(path)), m_options(std::move(options)) {}

SqliteUrlHistoryStorage::~SqliteUrlHistoryStorage() {
    close();
}

FileTime SqliteUrlHistoryStorage::now() const {
    return m_options.clock ? m_options.clock() : currentFileTime();
}

void SqliteUrlHistoryStorage::fail(int rc, const std::string& what) {
    std::string message = "URL history " + m_path + ": " + what + ": ";
    message += m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    if (isDamage(rc)) throw DamagedFile(message);
    throw HistoryStoreError(message);
}

void SqliteUrlHistoryStorage::exec(const char* sql) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(rc, sql);
}

SqliteUrlHistoryStorage::Statement SqliteUrlHistoryStorage::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        fail(rc, "prepare");
    }
    return Statement(statement);
}

void SqliteUrlHistoryStorage::close() {
    m_add.reset();
    m_delete.reset();
    m_enum.reset();
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void SqliteUrlHistoryStorage::openFile() {
    if (m_db) return;
    if (const fs::path parent = fs::path(m_path).parent_path(); !parent.empty()) {
        std::error_code ignored;  // a missing folder shows up as the open failure below
        fs::create_directories(parent, ignored);
    }
    const int rc = sqlite3_open_v2(m_path.c_str(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK) fail(rc, "open");
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, m_options.busyTimeoutMs);
        // Reading the journal mode is the first read of the file: a file that is no database
        // fails here.
        exec("PRAGMA journal_mode=WAL");
        // With the write-ahead log, NORMAL keeps every committed visit across a crash of the
        // program; only a power cut may lose the last few, and never leaves the file damaged.
        exec("PRAGMA synchronous=NORMAL");
        // Deleted entries are overwritten, so a cleaned history leaves no text in the file.
        exec("PRAGMA secure_delete=ON");

        Statement check = prepare("PRAGMA quick_check(1)");
        const int step = sqlite3_step(check.get());
        if (step != SQLITE_ROW) fail(step, "integrity check");
        const auto verdict = columnText(check.get(), 0);
        if (verdict != "ok")
            throw DamagedFile("URL history " + m_path + " is damaged: " + verdict.value_or(""));
        check.reset();

        exec(kSchema);
        m_add = prepare(
            "INSERT INTO url_history (url, title, last_visited, last_updated, expires, flags) "
            "VALUES (?1, ?2, ?3, ?3, ?4, ?5) "
            "ON CONFLICT (url) DO UPDATE SET title = coalesce(excluded.title, title), "
            "last_visited = excluded.last_visited, last_updated = excluded.last_updated, "
            "expires = excluded.expires, flags = excluded.flags");
        m_delete = prepare("DELETE FROM url_history WHERE url = ?1");
        m_enum = prepare(
            "SELECT url, title, last_visited, last_updated, expires, flags FROM url_history "
            "WHERE (?1 = '' OR substr(url, 1, length(?1)) = ?1) AND (flags & ?2) = ?2 "
            "ORDER BY last_visited DESC, id DESC");

        Statement purge = prepare("DELETE FROM url_history WHERE expires < ?1");
        sqlite3_bind_int64(purge.get(), 1, now());
        const int purged = sqlite3_step(purge.get());
        // Expired entries are dropped when they can be; another process writing just now only
        // postpones that to the next opening.
        if (purged != SQLITE_DONE && isDamage(purged)) fail(purged, "purge");
    } catch (...) {
        close();
        throw;
    }
}

void SqliteUrlHistoryStorage::setAside() {
    close();
    std::string target = m_path + kSetAsideMark + timestamp();
    for (int n = 2; fs::exists(target); ++n)
        target = m_path + kSetAsideMark + timestamp() + "-" + std::to_string(n);
    std::error_code error;
    fs::rename(m_path, target, error);
    if (error && fs::exists(m_path))
        throw HistoryStoreError("URL history " + m_path +
                                " is damaged and cannot be moved aside: " + error.message());
    // The log belongs to the damaged file and goes with it; the shared-memory index is rebuilt.
    std::error_code ignored;
    if (fs::exists(m_path + "-wal")) fs::rename(m_path + "-wal", target + "-wal", ignored);
    fs::remove(m_path + "-shm", ignored);
    if (!error) m_setAside.push_back(target);
}

void SqliteUrlHistoryStorage::removeSetAsideFiles() {
    const fs::path file(m_path);
    const std::string prefix = file.filename().string() + kSetAsideMark;
    std::error_code error;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename().string().starts_with(prefix)) {
            std::error_code ignored;  // a copy that cannot be removed stays; nothing reads it
            fs::remove(it->path(), ignored);
        }
    }
}

template <class Operation>
auto SqliteUrlHistoryStorage::withDatabase(Operation&& operation) {
    for (int attempt = 0;; ++attempt) {
        try {
            openFile();
            return operation();
        } catch (const DamagedFile& damage) {
            if (attempt > 0) throw HistoryStoreError(damage.what());
            setAside();
        }
    }
}

void SqliteUrlHistoryStorage::open() {
    withDatabase([] { return 0; });
}

void SqliteUrlHistoryStorage::addUrl(const std::string& url, const std::string& title, std::uint32_t flags) {
    withDatabase([&] {
        const FileTime time = now();
        sqlite3_stmt* s = m_add.get();
        StatementUse use(s);
        bindText(s, 1, url);
        if (title.empty())
            sqlite3_bind_null(s, 2);
        else
            bindText(s, 2, title);
        sqlite3_bind_int64(s, 3, time);
        sqlite3_bind_int64(s, 4, time + kHistoryKeepTicks);
        sqlite3_bind_int64(s, 5, flags);
        const int rc = sqlite3_step(s);
        if (rc != SQLITE_DONE) fail(rc, "add");
        return 0;
    });
}

void SqliteUrlHistoryStorage::deleteUrl(const std::string& url, std::uint32_t) {
    withDatabase([&] {
        sqlite3_stmt* s = m_delete.get();
        StatementUse use(s);
        bindText(s, 1, url);
        const int rc = sqlite3_step(s);
        if (rc != SQLITE_DONE) fail(rc, "delete");
        return 0;
    });
}

void SqliteUrlHistoryStorage::clearHistory() {
    withDatabase([&] {
        exec("DELETE FROM url_history");
        // Moves the overwritten pages into the file and empties the log, so the old entries are
        // gone from the disk now. A reader in another process can hold this off; the log is then
        // emptied at a later write.
        sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        return 0;
    });
    removeSetAsideFiles();
}

std::vector<StatUrl> SqliteUrlHistoryStorage::enumUrls(const std::string& filter, std::uint32_t flags) {
    return withDatabase([&] {
        const HistoryFilter accept(filter, flags);
        sqlite3_stmt* s = m_enum.get();
        StatementUse use(s);
        bindText(s, 1, filter);
        sqlite3_bind_int64(s, 2, accept.requiredEntryFlags);
        std::vector<StatUrl> out;
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            StatUrl record;
            record.url = columnText(s, 0);
            record.title = columnText(s, 1);
            record.lastVisited = sqlite3_column_int64(s, 2);
            record.lastUpdated = sqlite3_column_int64(s, 3);
            record.expires = sqlite3_column_int64(s, 4);
            record.flags = static_cast<std::uint32_t>(sqlite3_column_int64(s, 5));
            accept.trim(record);
            out.push_back(std::move(record));
        }
        if (rc != SQLITE_DONE) fail(rc, "list");
        return out;
    });
}

}  // namespace pluvik

#include "cleaner/sqlite_url_history_storage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "cleaner/memory_url_history_storage.h"
#include "history_test_support.h"

using namespace pluvik;
using pluvik::test::TempFolder;
namespace fs = std::filesystem;

namespace {

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> urls(UrlHistoryStorage& store) {
    std::vector<std::string> out;
    for (const StatUrl& s : store.enumUrls("", 0)) out.push_back(s.url.value_or("?"));
    return out;
}

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SqliteHistory : public ::testing::Test {
protected:
    std::string dbPath() const { return m_folder.file(SqliteUrlHistoryStorage::kFileName); }
    SqliteHistoryOptions options() {
        return {0, [this] { return m_now; }};
    }
    TempFolder m_folder;
    FileTime m_now = pluvik::test::utcFileTime(2024, 5, 1, 8);
};

}  // namespace

TEST_F(SqliteHistory, ARevisitKeepsOneEntryAndAnEmptyTitleKeepsTheOldOne) {
    SqliteUrlHistoryStorage sqlite(dbPath(), options());
    MemoryUrlHistoryStorage memory([this] { return m_now; });
    for (UrlHistoryStorage* store :
         {static_cast<UrlHistoryStorage*>(&sqlite), static_cast<UrlHistoryStorage*>(&memory)}) {
        SCOPED_TRACE(store == &sqlite ? "sqlite" : "memory");
        m_now = 1000;
        store->addUrl("http://a.test/", "First", 0);
        store->addUrl("http://b.test/", "B", 0);
        m_now = 2000;
        store->addUrl("http://a.test/", "", kStatUrlFlagIsTopLevel);
        const auto all = store->enumUrls("", 0);
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(all[0].url, "http://a.test/");
        EXPECT_EQ(all[0].title, "First");
        EXPECT_EQ(all[0].lastVisited, 2000);
        EXPECT_EQ(all[0].flags, kStatUrlFlagIsTopLevel);
        store->addUrl("http://a.test/", "Second", 0);
        EXPECT_EQ(store->enumUrls("http://a", 0).at(0).title, "Second");
    }
}

TEST_F(SqliteHistory, KeepsEveryRecordedVisitAcrossACrashOfTheProgram) {
    // The child is a fork of this process, so it writes into this test's folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            SqliteUrlHistoryStorage store(dbPath(), options());
            store.addUrl("http://before-crash.test/", "Kept", 0);
            // Ends the process on the spot: no destructor runs, nothing is closed or flushed.
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(3), "");
    SqliteUrlHistoryStorage store(dbPath(), options());
    EXPECT_EQ(urls(store), std::vector<std::string>{"http://before-crash.test/"});
    EXPECT_TRUE(store.setAsideFiles().empty());
}

TEST_F(SqliteHistory, SetsAFileThatIsNoDatabaseAsideAndStartsAnew) {
    const std::string junk = "this is not a database file, and it is long enough to have a header";
    writeBytes(dbPath(), junk);
    SqliteUrlHistoryStorage store(dbPath(), options());
    store.addUrl("http://a.test/", "A", 0);
    EXPECT_EQ(urls(store), std::vector<std::string>{"http://a.test/"});
    ASSERT_EQ(store.setAsideFiles().size(), 1u);
    EXPECT_EQ(readBytes(store.setAsideFiles()[0]), junk);
    EXPECT_TRUE(
        fs::path(store.setAsideFiles()[0]).filename().string().starts_with("history.sqlite.damaged-"));
}

TEST_F(SqliteHistory, SetsADatabaseWithDamagedPagesAsideAtOpening) {
    {
        SqliteUrlHistoryStorage store(dbPath(), options());
        for (int i = 0; i < 2000; ++i)
            store.addUrl("http://site" + std::to_string(i) + ".test/page", "Page " + std::to_string(i), 0);
    }
    std::string bytes = readBytes(dbPath());
    ASSERT_GT(bytes.size(), 40000u);
    for (size_t i = 8192; i < bytes.size(); i += 4096) bytes.replace(i + 8, 64, 64, '\xee');
    writeBytes(dbPath(), bytes);

    SqliteUrlHistoryStorage store(dbPath(), options());
    EXPECT_TRUE(urls(store).empty());
    EXPECT_EQ(store.setAsideFiles().size(), 1u);
    store.addUrl("http://fresh.test/", "", 0);
    SqliteUrlHistoryStorage reopened(dbPath(), options());
    EXPECT_EQ(urls(reopened).size(), 1u);
}

TEST_F(SqliteHistory, ALockedFileFailsTheOperationAndWorksOnceReleased) {
    SqliteUrlHistoryStorage store(dbPath(), options());
    store.addUrl("http://a.test/", "A", 0);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM url_history;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_THROW(store.addUrl("http://b.test/", "B", 0), HistoryStoreError);
    EXPECT_THROW(store.clearHistory(), HistoryStoreError);
    // Reading still works, and a lock is no damage: the file stays where it is.
    EXPECT_EQ(urls(store).size(), 1u);
    EXPECT_TRUE(store.setAsideFiles().empty());
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    store.addUrl("http://b.test/", "B", 0);
    EXPECT_EQ(urls(store).size(), 2u);
}

TEST_F(SqliteHistory, AFileThatCannotBeCreatedFailsEveryOperation) {
    writeBytes(m_folder.file("plain-file"), "x");
    SqliteUrlHistoryStorage store(m_folder.file("plain-file/history.sqlite"), options());
    EXPECT_THROW(store.open(), HistoryStoreError);
    EXPECT_THROW(store.addUrl("http://a.test/", "", 0), HistoryStoreError);
    EXPECT_THROW(store.enumUrls("", 0), HistoryStoreError);
    EXPECT_FALSE(store.isOpen());
}

TEST_F(SqliteHistory, ClearingLeavesNoTraceOnDisk) {
    writeBytes(dbPath(), "damaged copy of http://secret-old.test/");
    SqliteUrlHistoryStorage store(dbPath(), options());
    for (int i = 0; i < 200; ++i)
        store.addUrl("http://secret-site.test/" + std::to_string(i), "secret title", 0);
    ASSERT_EQ(store.setAsideFiles().size(), 1u);

    store.clearHistory();
    EXPECT_TRUE(urls(store).empty());
    std::string onDisk;
    for (const std::string& name : folderEntries(m_folder.path())) onDisk += readBytes(m_folder.file(name));
    EXPECT_EQ(onDisk.find("secret"), std::string::npos);
    for (const std::string& name : folderEntries(m_folder.path()))
        EXPECT_FALSE(name.find(".damaged-") != std::string::npos) << name;
}

TEST_F(SqliteHistory, DropsExpiredEntriesAtOpening) {
    {
        SqliteUrlHistoryStorage store(dbPath(), options());
        store.addUrl("http://old.test/", "", 0);
        m_now += 60 * kFileTimeTicksPerDay;
        store.addUrl("http://recent.test/", "", 0);
    }
    m_now += 40 * kFileTimeTicksPerDay;
    SqliteUrlHistoryStorage store(dbPath(), options());
    EXPECT_EQ(urls(store), std::vector<std::string>{"http://recent.test/"});
}

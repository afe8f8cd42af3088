#include "cleaner/url_history.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "cleaner/memory_url_history_storage.h"
#include "cleaner/sqlite_url_history_storage.h"
#include "history_test_support.h"

using namespace pluvik;
using pluvik::test::TempFolder;
using pluvik::test::TimeZone;
using pluvik::test::utcFileTime;

namespace {

using Urls = std::vector<std::string>;

Urls urlsOf(const CURLHistory& history) {
    Urls urls;
    for (const URLHistoryItem& item : history) urls.push_back(item.URL());
    return urls;
}

// CURLHistory on the SQLite storage, with a clock the test moves on by one minute per visit.
class UrlHistoryOnSqlite : public ::testing::Test {
protected:
    UrlHistoryOnSqlite()
        : m_store(m_folder.file(SqliteUrlHistoryStorage::kFileName),
                  SqliteHistoryOptions{0, [this] { return m_now; }}) {}

    void visit(const Urls& urls) {
        for (const std::string& url : urls) {
            m_now += 60 * kFileTimeTicksPerSecond;
            m_store.addUrl(url, "Title of " + url, kStatUrlFlagIsTopLevel);
        }
    }

    TempFolder m_folder;
    FileTime m_now = utcFileTime(2024, 5, 1, 8);
    SqliteUrlHistoryStorage m_store;
};

}  // namespace

TEST_F(UrlHistoryOnSqlite, ANewHistoryOnAnEmptyStoreHasNoItems) {
    CURLHistory history(m_store);
    EXPECT_EQ(history.Count(), 0u);
    EXPECT_THROW(history.Item(1), std::out_of_range);
    EXPECT_THROW(history.Item(0), std::out_of_range);
    EXPECT_EQ(history.begin(), history.end());
}

TEST_F(UrlHistoryOnSqlite, ListsTheWholeHistoryAtCreationMostRecentFirst) {
    visit({"http://a.test/", "http://b.test/", "http://c.test/"});
    CURLHistory history(m_store);
    ASSERT_EQ(history.Count(), 3u);
    EXPECT_EQ(urlsOf(history), (Urls{"http://c.test/", "http://b.test/", "http://a.test/"}));
    EXPECT_EQ(history.Item(3).Title(), "Title of http://a.test/");
    EXPECT_EQ(history.Item(3).Flags(), kStatUrlFlagIsTopLevel);
    EXPECT_THROW(history.Item(4), std::out_of_range);

    // A later visit is only listed after a Refresh.
    history.AddURL("http://d.test/", "D", 0);
    EXPECT_EQ(history.Count(), 3u);
    history.Refresh("", 0);
    EXPECT_EQ(history.Item(1).URL(), "http://d.test/");
}

TEST_F(UrlHistoryOnSqlite, ClearEmptiesTheStoreAndTheList) {
    visit({"http://a.test/", "http://b.test/"});
    CURLHistory history(m_store);
    history.Clear();
    EXPECT_EQ(history.Count(), 0u);
    EXPECT_EQ(CURLHistory(m_store).Count(), 0u);
}

TEST_F(UrlHistoryOnSqlite, RemoveDeletesOneEntryAndMovesTheLaterOnesDown) {
    visit({"http://a.test/", "http://b.test/", "http://c.test/"});
    CURLHistory history(m_store);
    const std::string second = history.Item(2).URL();
    history.Remove(1);
    EXPECT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.Item(1).URL(), second);
    EXPECT_THROW(history.Remove(3), std::out_of_range);
    EXPECT_EQ(urlsOf(CURLHistory(m_store)), (Urls{"http://b.test/", "http://a.test/"}));

    // DeleteURL takes the address and re-reads the list, with what was added meanwhile.
    m_store.addUrl("http://late.test/", "", 0);
    history.DeleteURL("http://a.test/");
    EXPECT_EQ(urlsOf(history), (Urls{"http://late.test/", "http://b.test/"}));
}

TEST_F(UrlHistoryOnSqlite, TextsAreEmptyWhenTheEntryHasNone) {
    m_store.addUrl("http://untitled.test/", "", 0);
    m_store.addUrl("http://titled.test/", "标题", 0);
    CURLHistory history(m_store);
    EXPECT_EQ(history.Item(1).Title(), "标题");
    EXPECT_EQ(history.Item(2).Title(), "");
    EXPECT_EQ(history.Item(2).URL(), "http://untitled.test/");

    history.Refresh("", kStatUrlQueryFlagNoUrl | kStatUrlQueryFlagNoTitle);
    ASSERT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.Item(1).URL(), "");
    EXPECT_EQ(history.Item(1).Title(), "");
}

TEST_F(UrlHistoryOnSqlite, DatesAreLocalTimeAndReadTheSameTwice) {
    TimeZone beijing("CST-8");
    visit({"http://a.test/"});  // at 08:01 UTC, 16:01 in Beijing
    const URLHistoryItem item = CURLHistory(m_store).Item(1);
    const double expected = 45413 + (16 * 60 + 1) / 1440.0;
    EXPECT_DOUBLE_EQ(item.LastVisited(), expected);
    EXPECT_DOUBLE_EQ(item.LastVisited(), expected);
    EXPECT_DOUBLE_EQ(item.LastUpdated(), expected);
    EXPECT_DOUBLE_EQ(item.Expires(), expected + 90);
}

TEST_F(UrlHistoryOnSqlite, RefreshNarrowsByAddressPrefixAndTopLevelFlag) {
    m_store.addUrl("http://a.test/one", "", kStatUrlFlagIsTopLevel);
    m_store.addUrl("http://a.test/frame", "", 0);
    m_store.addUrl("http://b.test/a.test/", "", kStatUrlFlagIsTopLevel);
    CURLHistory history(m_store);
    history.Refresh("http://a.test/", 0);
    EXPECT_EQ(urlsOf(history), (Urls{"http://a.test/frame", "http://a.test/one"}));
    history.Refresh("http://a.test/", kStatUrlQueryFlagTopLevel);
    EXPECT_EQ(urlsOf(history), Urls{"http://a.test/one"});
}

TEST(UrlHistory, PassesStoreErrorsOnToTheCaller) {
    MemoryUrlHistoryStorage store;
    store.addUrl("http://a.test/", "A", 0);
    store.setFailing(true);
    EXPECT_THROW(CURLHistory{store}, HistoryStoreError);

    store.setFailing(false);
    CURLHistory history(store);
    store.setFailing(true);
    EXPECT_THROW(history.Clear(), HistoryStoreError);
    EXPECT_THROW(history.Remove(1), HistoryStoreError);
    // A failed call changes neither the store nor the list.
    store.setFailing(false);
    EXPECT_EQ(history.Count(), 1u);
    EXPECT_EQ(store.size(), 1u);
}

#include "cleaner/m_main.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cleaner/memory_url_cache.h"

using namespace pluvik;
using mMain::ClearUrlCache;

namespace {

using Names = std::vector<std::string>;

void cleanFiles(MemoryUrlCache& cache) {
    ClearUrlCache(cache, mMain::kTemporaryFilesPattern, mMain::kTemporaryFilesSkipMask);
}
void cleanCookies(MemoryUrlCache& cache) {
    ClearUrlCache(cache, mMain::kCookiePattern, mMain::kCookieSkipMask);
}

std::size_t firstIndexOf(const Names& log, const std::string& prefix) {
    const auto it = std::find_if(log.begin(), log.end(),
                                 [&](const std::string& line) { return line.starts_with(prefix); });
    return static_cast<std::size_t>(it - log.begin());
}

std::size_t lastIndexOf(const Names& log, const std::string& prefix) {
    for (std::size_t i = log.size(); i-- > 0;)
        if (log[i].starts_with(prefix)) return i;
    return log.size();
}

// A cache with two ordinary entries and a cookie, and no groups.
MemoryUrlCache plainCache() {
    MemoryUrlCache cache;
    cache.addEntry("http://a.test/index.html", kNormalCacheEntry);
    cache.addEntry("cookie:id@a.test/", kCookieCacheEntry);
    cache.addEntry("http://b.test/logo.png", kNormalCacheEntry);
    return cache;
}

}  // namespace

TEST(ClearUrlCache, WithNoGroupsGoesStraightToTheEntries) {
    MemoryUrlCache cache = plainCache();
    cleanFiles(cache);
    EXPECT_EQ(cache.entryNames(), Names{"cookie:id@a.test/"});
    EXPECT_EQ(cache.log.front(), "findFirstGroup");
    EXPECT_EQ(firstIndexOf(cache.log, "deleteGroup"), cache.log.size());
    EXPECT_EQ(cache.openSearches(), 0u);
}

TEST(ClearUrlCache, FlushesEveryGroupWithItsEntriesBeforeDeletingAnyEntry) {
    MemoryUrlCache cache = plainCache();
    cache.addEntry("http://c.test/grouped.js", kStickyCacheEntry);
    cache.addEntry("cookie:grouped@c.test/", kCookieCacheEntry);
    cache.addGroup(7, {"http://c.test/grouped.js"});
    cache.addGroup(9, {"cookie:grouped@c.test/"});
    cleanFiles(cache);

    EXPECT_TRUE(cache.groupIds().empty());
    // A group takes its entries with it, even a cookie a file clean would have left.
    EXPECT_EQ(cache.entryNames(), Names{"cookie:id@a.test/"});
    EXPECT_LT(lastIndexOf(cache.log, "deleteGroup"), firstIndexOf(cache.log, "findFirstEntry"));
    EXPECT_EQ(firstIndexOf(cache.log, "deleteGroup 7") + 2, firstIndexOf(cache.log, "deleteGroup 9"));
    EXPECT_EQ(cache.openSearches(), 0u);
}

TEST(ClearUrlCache, LeavesGroupsAloneWhenTheCacheHasNoGroupFunctions) {
    MemoryUrlCache cache = plainCache();
    cache.setHasGroupFunctions(false);
    cleanCookies(cache);
    EXPECT_EQ(firstIndexOf(cache.log, "findFirstGroup"), cache.log.size());
    EXPECT_EQ(cache.entryNames(), (Names{"http://a.test/index.html", "http://b.test/logo.png"}));
}

TEST(ClearUrlCache, EndsWithoutTouchingAnythingWhenTheGroupPhaseFails) {
    struct Case {
        const char* what;
        CacheCall call;
        std::uint32_t error;
        std::size_t groupsLeft;
    };
    const Case cases[] = {
        {"group search fails", CacheCall::FindFirstGroup, kErrorAccessDenied, 2},
        {"first group cannot be deleted", CacheCall::DeleteGroup, kErrorAccessDenied, 2},
        {"next group search fails", CacheCall::FindNextGroup, kErrorAccessDenied, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryUrlCache cache = plainCache();
        cache.addGroup(1);
        cache.addGroup(2);
        cache.failCall(c.call, c.error);
        cleanFiles(cache);
        EXPECT_EQ(cache.groupIds().size(), c.groupsLeft);
        EXPECT_EQ(cache.entryNames().size(), 3u);
        EXPECT_EQ(firstIndexOf(cache.log, "findFirstEntry"), cache.log.size());
        EXPECT_EQ(cache.openSearches(), 0u);
    }
}

TEST(ClearUrlCache, AnEmptyCacheEndsAtTheFirstEntrySearch) {
    MemoryUrlCache cache;
    cleanCookies(cache);
    EXPECT_EQ(cache.log, (Names{"findFirstGroup", "findFirstEntry cookie:"}));

    // The same for a search that fails outright.
    MemoryUrlCache failing = plainCache();
    failing.failCall(CacheCall::FindFirstEntry, kErrorAccessDenied);
    cleanFiles(failing);
    EXPECT_EQ(failing.entryNames().size(), 3u);
    EXPECT_EQ(failing.openSearches(), 0u);
}

TEST(ClearUrlCache, AFileCleanNeverDeletesCookiesOrHistory) {
    MemoryUrlCache cache;
    cache.addEntry("cookie:a@x.test/", kCookieCacheEntry);
    cache.addEntry("http://x.test/page.html", kNormalCacheEntry);
    cache.addEntry("visited:http://x.test/", kUrlHistoryCacheEntry);
    cache.addEntry("http://x.test/pinned.css", kStickyCacheEntry | kNormalCacheEntry);
    cache.addEntry("cookie:b@x.test/", kCookieCacheEntry | kNormalCacheEntry);
    cache.addEntry("visited:http://y.test/", kUrlHistoryCacheEntry | kStickyCacheEntry);
    cleanFiles(cache);
    EXPECT_EQ(cache.entryNames(), (Names{"cookie:a@x.test/", "visited:http://x.test/", "cookie:b@x.test/",
                                         "visited:http://y.test/"}));
}

TEST(ClearUrlCache, ACookieCleanDeletesEveryCookieAndNothingElse) {
    MemoryUrlCache cache;
    cache.addEntry("Cookie:a@x.test/", kCookieCacheEntry);
    cache.addEntry("http://x.test/page.html", kNormalCacheEntry);
    for (int i = 0; i < 40; ++i)
        cache.addEntry("cookie:c" + std::to_string(i) + "@y.test/", kCookieCacheEntry);
    cleanCookies(cache);
    EXPECT_EQ(cache.entryNames(), Names{"http://x.test/page.html"});
    EXPECT_EQ(cache.openSearches(), 0u);
}

TEST(ClearUrlCache, AnEntryTooLargeForTheBufferStopsTheCleanThere) {
    MemoryUrlCache cache;
    cache.addEntry("http://x.test/1", kNormalCacheEntry);
    // Just fits: record, name and its terminating zero make exactly 2048 bytes.
    const std::string fits = "http://x.test/" + std::string(2048 - 80 - 1 - 14, 'f');
    cache.addEntry(fits, kNormalCacheEntry);
    cache.addEntry({"http://x.test/2", kNormalCacheEntry, 2048});
    cache.addEntry("http://x.test/3", kNormalCacheEntry);
    cleanFiles(cache);
    EXPECT_EQ(cache.entryNames(), (Names{"http://x.test/2", "http://x.test/3"}));
    EXPECT_EQ(cache.openSearches(), 0u);

    MemoryUrlCache first;
    first.addEntry({"http://x.test/big", kNormalCacheEntry, 4000});
    first.addEntry("http://x.test/small", kNormalCacheEntry);
    cleanFiles(first);
    EXPECT_EQ(first.entryNames().size(), 2u);
}

TEST(ClearUrlCache, PassesOverAnEntryThatCannotBeDeleted) {
    MemoryUrlCache cache;
    cache.addEntry("http://x.test/1", kNormalCacheEntry);
    cache.addEntry({"http://x.test/in-use", kNormalCacheEntry, 0, true});
    cache.addEntry("http://x.test/2", kNormalCacheEntry);
    cache.addEntry("http://x.test/3", kNormalCacheEntry);
    cache.failCall(CacheCall::DeleteEntry, kErrorAccessDenied, 3);
    cleanFiles(cache);
    EXPECT_EQ(cache.entryNames(), (Names{"http://x.test/in-use", "http://x.test/2"}));
}

TEST(ClearUrlCache, AFailingEntrySearchEndsTheClean) {
    MemoryUrlCache cache = plainCache();
    cache.failCall(CacheCall::FindNextEntry, kErrorAccessDenied);
    cleanFiles(cache);
    EXPECT_EQ(cache.entryNames(), (Names{"cookie:id@a.test/", "http://b.test/logo.png"}));
    EXPECT_EQ(cache.openSearches(), 0u);
}

TEST(ClearUrlCache, EntriesSharingANameAreTakenInTheOrderTheyCame) {
    // The first of two entries of one name is in use: deleting by that name is refused and both
    // stay; a group that holds the name flushes both, and the names around them stay in order.
    MemoryUrlCache cache;
    cache.addEntry("http://x.test/a", kNormalCacheEntry);
    cache.addEntry({"http://x.test/same", kNormalCacheEntry, 0, true});
    cache.addEntry("http://x.test/same", kNormalCacheEntry);
    cache.addEntry("http://x.test/b", kNormalCacheEntry);
    EXPECT_FALSE(cache.deleteUrlCacheEntry("http://x.test/same"));
    EXPECT_EQ(cache.lastError(), kErrorAccessDenied);
    EXPECT_TRUE(cache.deleteUrlCacheEntry("http://x.test/a"));
    EXPECT_EQ(cache.entryNames(), (Names{"http://x.test/same", "http://x.test/same", "http://x.test/b"}));

    cache.addGroup(7, {"http://x.test/same"});
    cleanFiles(cache);
    EXPECT_FALSE(cache.hasEntry("http://x.test/same"));
    EXPECT_FALSE(cache.hasEntry("http://x.test/b"));
    EXPECT_EQ(cache.groupIds(), std::vector<CacheGroupId>{});
    EXPECT_FALSE(cache.deleteUrlCacheEntry("http://x.test/a"));
    EXPECT_EQ(cache.lastError(), kErrorFileNotFound);
}

#include "search/tab_loading.h"

#include <gtest/gtest.h>

using namespace pluvik;

namespace {

std::vector<Navigation> loadsOf(std::initializer_list<int> tabs, const std::string& keyword = "a") {
    std::vector<Navigation> loads;
    for (int tab : tabs) loads.push_back({tab, "http://e" + std::to_string(tab) + "/?q=" + keyword});
    return loads;
}

}  // namespace

TEST(TabLoading, UsuallyEveryTabLoadsAtOnceAndNoneWaits) {
    TabLoading loading;
    EXPECT_EQ(loading.searchStarted(loadsOf({0, 1, 15}), 1), loadsOf({0, 1, 15}));
    EXPECT_TRUE(loading.waitingTabs().none());
    EXPECT_FALSE(loading.shown(0));
}

TEST(TabLoading, WhenShownOnlyTheFrontLoadsAndEachOtherTabOnceWhenFirstShown) {
    TabLoading loading;
    loading.setWhenShown(true);
    EXPECT_EQ(loading.searchStarted(loadsOf({0, 3, 15}), 3), loadsOf({3}));
    EXPECT_EQ(loading.waitingTabs(), TabSet().set(0).set(15));
    EXPECT_EQ(loading.shown(15), loadsOf({15}).front());
    EXPECT_FALSE(loading.shown(15));
    EXPECT_FALSE(loading.shown(3));
    EXPECT_FALSE(loading.shown(99));
    // Saving every page takes what still waits in the tabs it goes over.
    loading.searchStarted(loadsOf({3, 4, 5}), 3);
    EXPECT_EQ(loading.takeAll(TabSet().set(0).set(5)), loadsOf({0, 5}));
    EXPECT_EQ(loading.waitingTabs(), TabSet().set(4));
}

TEST(TabLoading, AFrontOutsideTheSearchLoadsItsFirstTabAndLaterLoadsOnlyTheFront) {
    TabLoading loading;
    loading.setWhenShown(true);
    EXPECT_EQ(loading.searchStarted(loadsOf({8, 11}), 0), loadsOf({8}));
    // An engine switched on again is no search: with its tab behind, it waits.
    EXPECT_TRUE(loading.later(loadsOf({4}), 8).empty());
    EXPECT_EQ(loading.later(loadsOf({5}), 5), loadsOf({5}));
    EXPECT_EQ(loading.waitingTabs(), TabSet().set(4).set(11));
}

TEST(TabLoading, ASearchTakesOverItsOwnTabsAndLeavesTheOthersWaiting) {
    TabLoading loading;
    loading.setWhenShown(true);
    loading.searchStarted(loadsOf({0, 1, 11}, "old"), 0);
    EXPECT_EQ(loading.searchStarted(loadsOf({11}, "new"), 11), loadsOf({11}, "new"));
    EXPECT_EQ(loading.waitingTabs(), TabSet().set(1));
    // Switched back: the next search loads everything at once, and nothing it loads waits.
    loading.setWhenShown(false);
    EXPECT_EQ(loading.searchStarted(loadsOf({1, 2}, "x"), 0), loadsOf({1, 2}, "x"));
    EXPECT_TRUE(loading.waitingTabs().none());
}

TEST(TabLoading, TheFileSaysOnlyWithAOneOnItsFirstLine) {
    EXPECT_TRUE(whenShownFromFile(whenShownFileBytes(true)));
    EXPECT_TRUE(whenShownFromFile(std::string("1\r\nextra")));
    EXPECT_FALSE(whenShownFromFile(whenShownFileBytes(false)));
    EXPECT_FALSE(whenShownFromFile(std::nullopt));
    EXPECT_FALSE(whenShownFromFile(std::string("11\n")));
    EXPECT_FALSE(whenShownFromFile(std::string("\xFF\x00", 2)));
}

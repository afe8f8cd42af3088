#include "search/pages_opened_rule.h"

#include <gtest/gtest.h>

using namespace pluvik;

namespace {

TabSet tabsOf(std::initializer_list<int> tabs) {
    TabSet set;
    for (int tab : tabs) set.set(static_cast<size_t>(tab));
    return set;
}

}  // namespace

TEST(PagesOpenedRule, WithTheSignalTabEveryEndOfItsLoadsIsTheSignalAndNoOtherTabMatters) {
    PagesOpenedRule rule;
    rule.searchStarted(tabsOf({0, 7, 15, 20}));
    EXPECT_FALSE(rule.loadEnded(0));
    EXPECT_FALSE(rule.loadEnded(7));
    EXPECT_FALSE(rule.loadEnded(20));
    EXPECT_TRUE(rule.loadEnded(15));
    EXPECT_TRUE(rule.loadEnded(15));  // a later load of that tab too
}

TEST(PagesOpenedRule, WithoutTheSignalTabTheLastOfTheSearchsLoadsToEndIsTheSignalOnce) {
    PagesOpenedRule rule;
    rule.searchStarted(tabsOf({3, 4, 21}));
    EXPECT_FALSE(rule.loadEnded(15));  // not part of the search
    EXPECT_FALSE(rule.loadEnded(4));
    EXPECT_FALSE(rule.loadEnded(4));  // a tab counts once
    EXPECT_FALSE(rule.loadEnded(21));
    EXPECT_TRUE(rule.loadEnded(3));
    EXPECT_FALSE(rule.loadEnded(3));
    EXPECT_FALSE(rule.loadEnded(-1));
    EXPECT_FALSE(rule.loadEnded(23));

    // The next search starts its own count.
    rule.searchStarted(tabsOf({2}));
    EXPECT_TRUE(rule.loadEnded(2));
    // And a search with the signal tab goes back to it.
    rule.searchStarted(tabsOf({2, 15}));
    EXPECT_FALSE(rule.loadEnded(2));
    EXPECT_TRUE(rule.loadEnded(15));
}

TEST(PagesOpenedRule, TheStopsEndsAreNoNewsUntilTheNextLoad) {
    PagesOpenedRule rule;
    rule.searchStarted(tabsOf({0, 15}));
    rule.stopped();
    EXPECT_FALSE(rule.loadEnded(15));
    rule.loadBegan(15);  // a click on a link
    EXPECT_TRUE(rule.loadEnded(15));

    rule.stopped();
    rule.searchStarted(tabsOf({0, 15}));  // a new search's load is news whatever the stop said
    EXPECT_TRUE(rule.loadEnded(15));

    rule.searchStarted(tabsOf({1, 2}));
    rule.stopped();
    EXPECT_FALSE(rule.loadEnded(1));
    EXPECT_FALSE(rule.loadEnded(2));
}

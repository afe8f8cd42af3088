#include "search/pages_opened_rule.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(PagesOpenedRule, WithTheSignalTabOnlyItCountsAndEveryEndOfItIsTheSignal) {
    PagesOpenedRule rule;
    rule.searchStarted(TabSet().set(0).set(15).set(20));
    EXPECT_FALSE(rule.loadEnded(0));
    EXPECT_FALSE(rule.loadEnded(20));
    EXPECT_TRUE(rule.loadEnded(15));
    EXPECT_TRUE(rule.loadEnded(15));
}

TEST(PagesOpenedRule, WithoutTheSignalTabTheLastOfTheSearchsOwnEndsIsTheSignalOnce) {
    PagesOpenedRule rule;
    rule.searchStarted(TabSet().set(3).set(4).set(21));
    EXPECT_FALSE(rule.loadEnded(15));  // not part of the search
    EXPECT_FALSE(rule.loadEnded(4));
    EXPECT_FALSE(rule.loadEnded(4));  // a tab counts once
    EXPECT_FALSE(rule.loadEnded(21));
    EXPECT_TRUE(rule.loadEnded(3));
    EXPECT_FALSE(rule.loadEnded(3));
    EXPECT_FALSE(rule.loadEnded(23));

    // The stop's ends are no news; the next search counts anew.
    rule.searchStarted(TabSet().set(1).set(2));
    rule.stopped();
    EXPECT_FALSE(rule.loadEnded(1));
    EXPECT_FALSE(rule.loadEnded(2));
    rule.searchStarted(TabSet().set(2));
    EXPECT_TRUE(rule.loadEnded(2));
}

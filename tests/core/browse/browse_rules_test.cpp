#include "browse/browse_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pluvik;

namespace {

// A strip as the window has it after pages went into the given tabs in turn.
TabStripModel stripWith(std::initializer_list<int> extraVisible) {
    TabStripModel tabs = makeBrowseTabStrip();
    for (int i : extraVisible) tabs.setVisible(i, true);
    return tabs;
}

}  // namespace

TEST(BrowseRules, StripStartsWithTabZeroOnly) {
    const TabStripModel tabs = makeBrowseTabStrip();
    EXPECT_EQ(tabs.tabCount(), 24);
    EXPECT_EQ(tabs.visibleTabs(), std::vector<int>{0});
    EXPECT_EQ(tabs.current(), 0);
    EXPECT_EQ(tabs.tabsPerRow(), 3);
    EXPECT_EQ(tabs.caption(0), "Tab 0");
    EXPECT_EQ(tabs.caption(23), "Tab 23");
}

TEST(BrowseRules, AddressEntryPrefixesAnythingButExactHttp) {
    struct Case {
        const char* typed;
        const char* expected;
    };
    for (const Case& c :
         {Case{"www.a.cn", "http://www.a.cn"}, Case{"http://a.cn", "http://a.cn"},
          Case{"HTTP://a.cn", "http://HTTP://a.cn"}, Case{"https://a.cn", "http://https://a.cn"},
          Case{"http:/a.cn", "http://http:/a.cn"}, Case{"", "http://"}}) {
        const AddressEntry e = addressEntry(c.typed, {}, EntryTrigger::GoButton);
        EXPECT_EQ(e.boxText, c.expected) << c.typed;
        EXPECT_EQ(e.navigateTo, c.expected) << c.typed;
        EXPECT_FALSE(e.appendToList) << c.typed;  // the go button never touches the list
    }
}

TEST(BrowseRules, OnlyEnterAddsANewTextToTheList) {
    std::vector<std::string> list;
    AddressEntry e = addressEntry("www.a.cn", list, EntryTrigger::EnterKey);
    EXPECT_TRUE(e.appendToList);
    list.push_back(e.boxText);

    e = addressEntry("http://www.a.cn", list, EntryTrigger::EnterKey);  // same text again
    EXPECT_EQ(e.navigateTo, "http://www.a.cn");
    EXPECT_FALSE(e.appendToList);

    e = addressEntry("www.A.cn", list, EntryTrigger::EnterKey);  // comparison is case-sensitive
    EXPECT_TRUE(e.appendToList);
}

TEST(BrowseRules, ClosingSelectsTheTabBeforeIt) {
    TabStripModel tabs = stripWith({2, 3, 4});
    tabs.setCurrent(3);
    EXPECT_TRUE(closeCurrentTab(tabs));
    EXPECT_EQ(tabs.visibleTabs(), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(tabs.current(), 2);

    // Tab t - 1 hidden: it cannot be selected, the strip's nearest visible tab stays current.
    tabs = stripWith({3, 4});
    tabs.setCurrent(3);
    EXPECT_TRUE(closeCurrentTab(tabs));
    EXPECT_EQ(tabs.current(), 4);

    // Closing tab 0, or leaving a single tab, lets the strip choose.
    tabs = stripWith({2, 5});
    EXPECT_TRUE(closeCurrentTab(tabs));
    EXPECT_EQ(tabs.current(), 2);
    tabs.setCurrent(5);
    EXPECT_TRUE(closeCurrentTab(tabs));
    EXPECT_EQ(tabs.visibleTabs(), std::vector<int>{2});
    EXPECT_EQ(tabs.current(), 2);
}

TEST(BrowseRules, TheLastVisibleTabIsNeverClosed) {
    TabStripModel tabs = makeBrowseTabStrip();
    EXPECT_FALSE(closeCurrentTab(tabs));
    EXPECT_FALSE(quickCloseTab(tabs));
    EXPECT_EQ(tabs.visibleTabs(), std::vector<int>{0});

    tabs = stripWith({2, 3});
    tabs.setCurrent(2);
    EXPECT_TRUE(quickCloseTab(tabs));  // no jump back to t - 1: the strip picks the nearest
    EXPECT_EQ(tabs.current(), 3);
}

TEST(BrowseRules, PagesFillTabsFromTwoUpToTheLimit) {
    TabStripModel tabs = makeBrowseTabStrip();
    std::vector<int> perRow;
    for (int expected = 2; expected <= 23; ++expected) {
        const int n = tabs.visibleCount();
        const NewWindowDecision d = placeNewWindow(tabs);
        ASSERT_TRUE(d.accepted);
        EXPECT_EQ(d.targetTab, expected);
        EXPECT_EQ(d.targetTab, n + 1);
        EXPECT_EQ(d.command7EnabledBefore, n > 1);
        EXPECT_TRUE(d.command7Enabled);
        EXPECT_FALSE(d.showLimitMessage);
        EXPECT_EQ(tabs.current(), expected);
        perRow.push_back(tabs.tabsPerRow());
    }
    EXPECT_EQ(perRow, (std::vector<int>{3,  3,  5,  5,  10, 10, 10, 10, 10, 15, 15,
                                        15, 15, 15, 24, 24, 24, 24, 24, 24, 24, 24}));
    EXPECT_FALSE(tabs.isVisible(1));
    EXPECT_EQ(tabs.visibleCount(), kMaxVisible);

    tabs.setCurrent(7);
    const NewWindowDecision d = placeNewWindow(tabs);
    EXPECT_FALSE(d.accepted);
    EXPECT_EQ(d.targetTab, -1);
    EXPECT_TRUE(d.showLimitMessage);
    EXPECT_TRUE(d.command7Enabled);
    EXPECT_EQ(tabs.visibleCount(), kMaxVisible);
    EXPECT_EQ(tabs.current(), 7);
    EXPECT_STREQ(kLimitMessage, "到达最大吞吐量啦！请重新打开本浏览器吧！");
}

TEST(BrowseRules, APageAfterAClosingReusesTheClosedTab) {
    TabStripModel tabs = stripWith({2, 3, 4});
    tabs.setCurrent(3);
    closeCurrentTab(tabs);
    const NewWindowDecision d = placeNewWindow(tabs);
    EXPECT_EQ(d.targetTab, 3);  // tab 4 (n + 1) still holds an open page
    EXPECT_EQ(tabs.current(), 3);
    EXPECT_EQ(placeNewWindow(tabs).targetTab, 5);

    // Each page sets the tabs per row from its own tab: a lower tab reused after the rows were
    // widened narrows them again; tabs 2 and 3 take no step and leave the rows as they are.
    for (int i = 6; i <= 16; ++i) placeNewWindow(tabs);
    ASSERT_EQ(tabs.tabsPerRow(), 24);
    tabs.setCurrent(4);
    closeCurrentTab(tabs);
    EXPECT_EQ(placeNewWindow(tabs).targetTab, 4);
    EXPECT_EQ(tabs.tabsPerRow(), 5);
    tabs.setCurrent(3);
    closeCurrentTab(tabs);
    EXPECT_EQ(placeNewWindow(tabs).targetTab, 3);
    EXPECT_EQ(tabs.tabsPerRow(), 5);
}

TEST(BrowseRules, NoOpenPageIsEverReplaced) {
    TabStripModel tabs = makeBrowseTabStrip();
    unsigned seed = 12345;
    for (int step = 0; step < 500; ++step) {
        seed = seed * 1103515245u + 12345u;
        if ((seed >> 16) % 3 == 0) {
            const std::vector<int> open = tabs.visibleTabs();
            tabs.setCurrent(open[(seed >> 8) % open.size()]);
            closeCurrentTab(tabs);
            continue;
        }
        const std::vector<int> before = tabs.visibleTabs();
        const NewWindowDecision d = placeNewWindow(tabs);
        if (!d.accepted) {
            EXPECT_EQ(tabs.visibleTabs(), before);
            continue;
        }
        EXPECT_GE(d.targetTab, 2);
        EXPECT_FALSE(std::count(before.begin(), before.end(), d.targetTab)) << "step " << step;
        EXPECT_EQ(tabs.visibleCount(), static_cast<int>(before.size()) + 1);
    }
}

TEST(BrowseRules, WithTabZeroClosedAndTheRestFullThePageIsRefused) {
    TabStripModel tabs = makeBrowseTabStrip();
    for (int i = 2; i < kTabCount; ++i) tabs.setVisible(i, true);
    tabs.setCurrent(0);
    closeCurrentTab(tabs);
    ASSERT_EQ(tabs.visibleCount(), 22);
    const NewWindowDecision d = placeNewWindow(tabs);
    EXPECT_FALSE(d.accepted);
    EXPECT_TRUE(d.showLimitMessage);
    EXPECT_FALSE(tabs.isVisible(0));
    EXPECT_FALSE(tabs.isVisible(1));
}

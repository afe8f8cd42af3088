#include "options/option_rules.h"

#include <gtest/gtest.h>

using namespace pluvik;

namespace {

// How the main window looks with the default settings: 21 engine tabs, no user-defined ones.
std::vector<bool> defaultTabs() {
    std::vector<bool> v(23, true);
    v[21] = v[22] = false;
    return v;
}

TabOp hide(int tab) {
    return {TabOp::Hide, tab, {}};
}
TabOp show(int tab) {
    return {TabOp::Show, tab, {}};
}
TabOp caption(int tab, std::string text) {
    return {TabOp::SetCaption, tab, std::move(text)};
}

// The 23 result tabs after the main window has carried out `ops` (missing entries count as hidden).
std::vector<bool> visibilityAfter(const std::vector<TabOp>& ops, std::vector<bool> visible) {
    visible.resize(23, false);
    for (const TabOp& op : ops) {
        if (op.kind != TabOp::SetCaption) visible.at(static_cast<size_t>(op.tab)) = op.kind == TabOp::Show;
    }
    return visible;
}

Settings allEnginesOff() {
    Settings s;
    for (int tab = 0; tab < 21; ++tab) s.setEngine(tab, 0);
    return s;
}

}  // namespace

TEST(OptionRules, ApplyHidesTheUncheckedEnginesFirstThenShowsTheChecked) {
    Settings s;
    s.google = 0;
    s.gougou = 0;
    s.opendiy1 = 1;  // Apply leaves the user-defined tabs alone
    s.diy1name = "我的";
    s.opendiy2 = 0;
    const TabPlan plan = applyOps(s, defaultTabs());
    std::vector<TabOp> expected{hide(1), hide(20)};
    for (int tab = 0; tab < 20; ++tab) {
        if (tab != 1) expected.push_back(show(tab));
    }
    EXPECT_EQ(plan.ops, expected);
    EXPECT_FALSE(plan.keptLastTab);
}

TEST(OptionRules, OkHidesAllUncheckedOfTheTwentyThreeThenShowsAndNamesTheUserEngines) {
    Settings s;
    s.sogou = 0;
    s.opendiy1 = 0;
    s.opendiy2 = 1;
    s.diy2name = "我的搜索";
    s.diy1name = "unused";
    const TabPlan plan = okOps(s, defaultTabs());
    std::vector<TabOp> expected{hide(2), hide(21)};
    for (int tab = 0; tab < 21; ++tab) {
        if (tab != 2) expected.push_back(show(tab));
    }
    expected.push_back(show(22));
    expected.push_back(caption(22, "我的搜索"));
    EXPECT_EQ(plan.ops, expected);

    // Both switched on: engine 1 comes first, and an empty name is still given to the tab.
    s.opendiy1 = 1;
    s.diy1name.clear();
    const std::vector<TabOp> ops = okOps(s, defaultTabs()).ops;
    ASSERT_GE(ops.size(), 4u);
    EXPECT_EQ(std::vector<TabOp>(ops.end() - 4, ops.end()),
              (std::vector<TabOp>{show(21), caption(21, ""), show(22), caption(22, "我的搜索")}));
}

TEST(OptionRules, OnlyZeroHidesAndOnlyOneShows) {
    Settings s;
    s.baidu = 2;
    s.youdao = -1;
    s.opendiy1 = 5;  // neither hidden nor shown nor renamed
    s.diy1name = "x";
    s.opendiy2 = 1;
    for (const TabPlan& plan : {applyOps(s, defaultTabs()), okOps(s, defaultTabs())}) {
        for (const TabOp& op : plan.ops) {
            EXPECT_NE(op.tab, 0);
            EXPECT_NE(op.tab, 4);
            EXPECT_NE(op.tab, 21);
        }
    }
    // Tab 0 hidden and tab 4 visible before: both stay as they were; tabs past the end of the list
    // count as hidden, so 21 stays hidden.
    const std::vector<bool> before = {false, true, true, true, true};
    const std::vector<bool> after = visibilityAfter(okOps(s, before).ops, before);
    EXPECT_FALSE(after[0]);
    EXPECT_TRUE(after[4]);
    EXPECT_FALSE(after[21]);
    EXPECT_TRUE(after[22]);
}

TEST(OptionRules, UncheckingEverythingKeepsTheLastVisibleTabAndSaysSo) {
    Settings s = allEnginesOff();
    const TabPlan apply = applyOps(s, defaultTabs());
    EXPECT_TRUE(apply.keptLastTab);
    EXPECT_EQ(apply.keptTab, 20);
    std::vector<TabOp> expected;
    for (int tab = 0; tab < 20; ++tab) expected.push_back(hide(tab));
    EXPECT_EQ(apply.ops, expected);

    // OK also hides 21 and 22, but they were hidden already: the last tab that goes is still 20.
    const TabPlan ok = okOps(s, defaultTabs());
    EXPECT_TRUE(ok.keptLastTab);
    EXPECT_EQ(ok.keptTab, 20);
    const std::vector<bool> after = visibilityAfter(ok.ops, defaultTabs());
    EXPECT_EQ(std::count(after.begin(), after.end(), true), 1);
    EXPECT_TRUE(after[20]);

    // With a visible user tab, that tab is the last one to go.
    std::vector<bool> withDiy = defaultTabs();
    withDiy[22] = true;
    EXPECT_EQ(okOps(s, withDiy).keptTab, 22);
}

TEST(OptionRules, ATabThatStaysVisibleNeedsNoMend) {
    Settings s = allEnginesOff();
    std::vector<bool> withDiy = defaultTabs();
    withDiy[21] = true;
    // Apply does not touch tab 21, so the window keeps it.
    EXPECT_FALSE(applyOps(s, withDiy).keptLastTab);
    s.opendiy1 = 1;
    EXPECT_FALSE(okOps(s, defaultTabs()).keptLastTab);
    // One engine left on.
    Settings one = allEnginesOff();
    one.dict = 1;
    EXPECT_FALSE(applyOps(one, defaultTabs()).keptLastTab);
}

TEST(OptionRules, AWindowWithNoVisibleTabGetsOneBack) {
    const std::vector<bool> none(23, false);
    Settings s = allEnginesOff();
    for (const TabPlan& plan : {applyOps(s, none), okOps(s, none)}) {
        EXPECT_TRUE(plan.keptLastTab);
        EXPECT_EQ(plan.keptTab, 20);  // an engine tab, not the empty user-defined 22
        ASSERT_FALSE(plan.ops.empty());
        EXPECT_EQ(plan.ops.back(), show(20));
    }
    // Nothing the plan hides at all (every value hand-edited to 2): the first tab comes back.
    for (int tab = 0; tab < 21; ++tab) s.setEngine(tab, 2);
    const TabPlan plan = applyOps(s, none);
    EXPECT_TRUE(plan.keptLastTab);
    EXPECT_EQ(plan.ops, std::vector<TabOp>{show(0)});
}

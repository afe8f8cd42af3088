#include "search/tab_commands.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(TabCommands, CloseCurrentNeverHidesTheLastVisibleTab) {
    TabStripModel tabs(23);
    for (int i = 0; i < 23; ++i) tabs.setVisible(i, i == 5);
    EXPECT_FALSE(closeCurrentResultTab(tabs));
    EXPECT_TRUE(tabs.isVisible(5));

    tabs.setVisible(9, true);
    tabs.setCurrent(9);
    EXPECT_TRUE(closeCurrentResultTab(tabs));
    EXPECT_FALSE(tabs.isVisible(9));
    EXPECT_EQ(tabs.current(), 5);
}

TEST(TabCommands, CloseOthersLeavesExactlyTheCurrentTab) {
    TabStripModel tabs(23);
    tabs.setVisible(1, false);
    tabs.setVisible(2, false);
    tabs.setCurrent(3);
    closeOtherResultTabs(tabs);
    EXPECT_EQ(tabs.visibleTabs(), std::vector<int>{3});
    EXPECT_EQ(tabs.current(), 3);
}

TEST(TabCommands, StepsGoThroughTheVisibleTabsRoundTheEnds) {
    TabStripModel tabs(23);
    for (int i = 0; i < 23; ++i) tabs.setVisible(i, i == 2 || i == 7 || i == 20);
    tabs.setCurrent(7);
    EXPECT_TRUE(stepCurrentTab(tabs, TabStep::Next));
    EXPECT_EQ(tabs.current(), 20);
    stepCurrentTab(tabs, TabStep::Next);
    EXPECT_EQ(tabs.current(), 2);
    stepCurrentTab(tabs, TabStep::Previous);
    EXPECT_EQ(tabs.current(), 20);
    for (int i = 0; i < 23; ++i) tabs.setVisible(i, i == 20);
    EXPECT_FALSE(stepCurrentTab(tabs, TabStep::Previous));
    EXPECT_EQ(tabs.current(), 20);
}

TEST(TabCommands, TextsAndColours) {
    EXPECT_EQ(closeTabQuestion().find("真的要关闭当前选项卡吗？\r\n此为临时关闭"), 0u);
    EXPECT_EQ(captionColors()[5].color, (Rgb{255, 128, 64}));
    EXPECT_STREQ(captionColors()[0].action, "moren");
    const BulkConfirmation save = bulkConfirmation(BulkCommand::Save, 23);
    EXPECT_EQ(save.title, "保存确认");
    EXPECT_EQ(save.text, "真的要保存所有结果吗？\r\n这将保存所有23个页面，请三思而后行！");
    EXPECT_EQ(bulkConfirmation(BulkCommand::Print, 24).text, "真的打印所有结果吗？\r\n这将打印所有24个页面，请三思而后行！");
}

TEST(TabCommands, SaveAllGoesOverThePagesThatHoldAResult) {
    // After a search with default settings: 21 result pages, the two user tabs on the start page.
    std::vector<PageOnTab> pages;
    for (int tab = 0; tab < 21; ++tab) pages.push_back({true, true, "http://e" + std::to_string(tab) + ".test/?q=x"});
    pages.push_back({true, true, "file:///home/u/.local/share/Pluvik/Pluvik.htm"});
    pages.push_back({true, true, "/tmp/program/Pluvik.htm"});
    EXPECT_EQ(pagesHoldingResults(pages).size(), 21u);
    EXPECT_EQ(bulkConfirmation(BulkCommand::Save, 21).text,
              "真的要保存所有结果吗？\r\n这将保存所有21个页面，请三思而后行！");

    // Switched off, blanked, never loaded: none of them; a result page named like the start page is
    // still a result.
    pages[2].shown = false;
    pages[3].address = "about:blank";
    pages[4].hasPage = false;
    pages[5].address = "";
    pages[6].address = "http://e6.test/Pluvik.htm";
    const std::vector<int> left = pagesHoldingResults(pages);
    EXPECT_EQ(left.size(), 17u);
    EXPECT_EQ(std::vector<int>(left.begin(), left.begin() + 3), (std::vector<int>{0, 1, 6}));
    EXPECT_TRUE(pagesHoldingResults({pages[21], pages[22]}).empty());

    EXPECT_EQ(stopTheRestQuestion(BulkCommand::Print, "百度").text, "已取消打印“百度”的页面。\r\n要停止打印其余的页面吗？");
    EXPECT_EQ(stopTheRestQuestion(BulkCommand::Save, "").title, "保存确认");
}

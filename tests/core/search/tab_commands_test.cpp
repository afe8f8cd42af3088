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

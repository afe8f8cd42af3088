#include "search/tab_strip_model.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(TabStripModel, HidingTheCurrentTabSelectsTheNearestVisibleOne) {
    TabStripModel m(6);
    m.setCurrent(2);
    m.setVisible(3, false);
    m.setVisible(2, false);  // neighbours: 3 hidden, 1 visible
    EXPECT_EQ(m.current(), 1);
    m.setCurrent(4);
    m.setVisible(4, false);  // 5 and 3: the following one wins the tie
    EXPECT_EQ(m.current(), 5);
    EXPECT_EQ(m.visibleTabs(), (std::vector<int>{0, 1, 5}));
}

TEST(TabStripModel, HiddenTabsCannotBeSelectedAndTheLastHiddenKeepsTheIndex) {
    TabStripModel m(3);
    m.setVisible(1, false);
    EXPECT_FALSE(m.setCurrent(1));
    EXPECT_FALSE(m.setCurrent(7));
    m.setVisible(0, false);
    m.setVisible(2, false);
    EXPECT_EQ(m.visibleCount(), 0);
    EXPECT_EQ(m.current(), 2);
    m.setVisible(1, true);  // showing a tab while the current one is hidden selects it
    EXPECT_EQ(m.current(), 1);
}

TEST(TabStripModel, RowsHoldVisibleTabsOnly) {
    TabStripModel m(8, 3);
    m.setVisible(1, false);
    EXPECT_EQ(m.rows(), (std::vector<std::vector<int>>{{0, 2, 3}, {4, 5, 6}, {7}}));
    m.setTabsPerRow(0);
    EXPECT_EQ(m.rows().size(), 1u);
}

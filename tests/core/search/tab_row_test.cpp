#include "search/tab_row.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace pluvik;

TEST(TabRow, TabsTakeTheirCaptionsWidthAndShareWhatIsLeft) {
    // 21 two-character captions and two long user-defined ones in a row of 1001 pixels: every
    // caption fits, the long ones up to `widest`, and the row is filled.
    std::vector<int> wanted(21, 34);
    wanted.push_back(60);   // "维基百科"
    wanted.push_back(140);  // a long name
    const std::vector<int> widths = tabRowWidths(wanted, 1001, 84);
    ASSERT_EQ(widths.size(), 23u);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 1001);
    EXPECT_GE(widths[0], 34);
    EXPECT_NEAR(widths[21] - widths[0], 60 - 34, 1);
    EXPECT_NEAR(widths[22] - widths[0], 84 - 34, 1);
}

TEST(TabRow, ARowTooNarrowShrinksEveryTabInProportion) {
    const std::vector<int> widths = tabRowWidths({100, 50, 50}, 100, 100);
    EXPECT_EQ(widths, (std::vector<int>{50, 25, 25}));
    EXPECT_EQ(tabRowWidths({}, 100, 50), std::vector<int>{});
}

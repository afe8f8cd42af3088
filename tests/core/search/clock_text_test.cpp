#include "search/clock_text.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(ClockText, ChineseShortDateAndLongTime) {
    EXPECT_EQ(clockDate(2026, 12, 9), "2026/12/9");
    EXPECT_EQ(clockDate(2027, 1, 31), "2027/1/31");
    EXPECT_EQ(clockTime(9, 5, 3), "9:05:03");
    EXPECT_EQ(clockTime(23, 59, 59), "23:59:59");
}

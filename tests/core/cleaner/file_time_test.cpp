#include "cleaner/file_time.h"

#include <gtest/gtest.h>

#include "history_test_support.h"

using namespace pluvik;
using pluvik::test::TimeZone;
using pluvik::test::utcFileTime;

TEST(AutomationDate, CountsDaysSinceTheEndOf1899InLocalTime) {
    TimeZone utc("UTC0");
    EXPECT_DOUBLE_EQ(fileTimeToLocalAutomationDate(utcFileTime(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(fileTimeToLocalAutomationDate(utcFileTime(1900, 1, 1, 18)), 2.75);
    EXPECT_DOUBLE_EQ(fileTimeToLocalAutomationDate(utcFileTime(2024, 2, 29, 12)), 45351.5);

    TimeZone beijing("CST-8");
    // 20:00 UTC is already the next morning in Beijing.
    EXPECT_DOUBLE_EQ(fileTimeToLocalAutomationDate(utcFileTime(2024, 2, 29, 20)), 45352 + 4 / 24.0);
}

TEST(AutomationDate, DropsTheMilliseconds) {
    TimeZone utc("UTC0");
    const double whole = fileTimeToLocalAutomationDate(utcFileTime(2023, 6, 1, 9, 30, 15));
    EXPECT_DOUBLE_EQ(fileTimeToLocalAutomationDate(utcFileTime(2023, 6, 1, 9, 30, 15, 999)), whole);
    EXPECT_DOUBLE_EQ(whole, 45078 + (9 * 3600 + 30 * 60 + 15) / 86400.0);
}

TEST(AutomationDate, DaysBefore1900CountNegativeWithTheTimeOfDayAddingToThem) {
    TimeZone utc("UTC0");
    EXPECT_DOUBLE_EQ(fileTimeToLocalAutomationDate(utcFileTime(1899, 12, 29, 6)), -1.25);
    // The zero file time, an entry that never expires, is 1 January 1601.
    EXPECT_DOUBLE_EQ(fileTimeToLocalAutomationDate(0), -109205.0);
}

#include "update/version_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace pluvik {
namespace {

TEST(VersionNumber, LeadingNumberOfTheText) {
    const std::pair<const char*, double> cases[] = {
        {"6.02", 6.02}, {"6.10", 6.1}, {"6.02.0368", 6.02},  {"6.2.368", 6.2}, {"", 0},
        {"abc", 0},     {"v6.0", 0},   {" \t6 .0\n2", 6.02},  // blanks, tabs and line feeds are skipped even
                                                              // between digits
        {"6\r02", 6},                                         // a carriage return is not
        {"-1.5", -1.5}, {"+7", 7},     {".5", 0.5},          {"1e2", 100},     {"2D1", 20},
        {"6E", 6},      {"&H1A", 26},  {"&O17", 15},         {"&17", 15},      {"1e999", HUGE_VAL},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(versionNumber(text), expected) << '"' << text << '"';
}

TEST(VersionNumber, ComparesAsNumbers) {
    EXPECT_EQ(compareVersions("6.0", "6.02"), VersionOrder::Older);
    EXPECT_EQ(compareVersions("6.02", "6.02"), VersionOrder::Same);
    EXPECT_EQ(compareVersions("6.9", "6.10"), VersionOrder::Newer);
    EXPECT_EQ(compareVersions("6.02", "6.020"), VersionOrder::Same);
    // A missing installed version is 0, so every real version is newer.
    EXPECT_EQ(compareVersions("", "6.02"), VersionOrder::Older);
    EXPECT_EQ(compareVersions("6.2.368", ""), VersionOrder::Newer);
}

}  // namespace
}  // namespace pluvik

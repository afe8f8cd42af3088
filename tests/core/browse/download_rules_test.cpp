#include "browse/download_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace pluvik {
namespace {

TEST(DownloadRules, PartialPathSkipsNamesThatAreTaken) {
    std::set<std::string> taken;
    const auto isTaken = [&](const std::string& path) { return taken.count(path) > 0; };
    EXPECT_EQ(partialDownloadPath("/d/a.zip", isTaken), "/d/a.zip.part");
    taken = {"/d/a.zip.part", "/d/a.zip (2).part"};
    EXPECT_EQ(partialDownloadPath("/d/a.zip", isTaken), "/d/a.zip (3).part");
    // A folder full of leftovers does not keep it looking for ever.
    EXPECT_FALSE(partialDownloadPath("/d/a.zip", [](const std::string&) { return true; }).empty());
}

TEST(DownloadRules, ProgressTextCutsThePercentOffAndOmitsAnUnknownTotal) {
    EXPECT_EQ(downloadProgressText(1048576, 3145728), "1.00 MB / 3.00 MB (33%)");
    EXPECT_EQ(downloadProgressText(199999, 200000), "195 KB / 195 KB (99%)");
    EXPECT_EQ(downloadProgressText(200000, 200000), "195 KB / 195 KB (100%)");
    EXPECT_EQ(downloadProgressText(5, 0), "5 字节");
    EXPECT_EQ(downloadProgressText(INT64_MAX / 2, INT64_MAX), "3.99 EB / 7.99 EB (49%)");
}

}  // namespace
}  // namespace pluvik

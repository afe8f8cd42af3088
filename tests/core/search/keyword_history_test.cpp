#include "search/keyword_history.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(KeywordHistory, KeepsEachExactKeywordOnceInFirstUseOrder) {
    KeywordHistory history;
    EXPECT_TRUE(history.add("pluvik"));
    EXPECT_TRUE(history.add("中文"));
    EXPECT_FALSE(history.add("pluvik"));
    EXPECT_TRUE(history.add("PLUVIK"));   // case counts
    EXPECT_TRUE(history.add("pluvik "));  // so do blanks
    EXPECT_EQ(history.entries(), (std::vector<std::string>{"pluvik", "中文", "PLUVIK", "pluvik "}));

    history.clear();
    EXPECT_TRUE(history.entries().empty());
    EXPECT_TRUE(history.add("pluvik"));
}

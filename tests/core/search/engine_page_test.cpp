#include "search/engine_page.h"

#include <gtest/gtest.h>

#include <set>

using namespace pluvik;

TEST(EnginePage, EveryEngineOfEveryWindowHasOneRowUnderItsKey) {
    const std::vector<EngineRow> rows = engineRows();
    std::set<std::string> keys;
    for (const EngineRow& row : rows) EXPECT_TRUE(keys.insert(row.key).second) << row.key;
    std::set<std::string> expected{"diy1", "diy2"};
    for (const std::string& key : engineKeys()) expected.insert(key);
    EXPECT_EQ(keys, expected);
    // A dual pair's sides take their half of the pair's caption, in order.
    const auto side = [&](std::string_view key) {
        for (const EngineRow& row : rows)
            if (row.key == key) return row;
        return EngineRow{};
    };
    EXPECT_EQ(side("dual_yahoo").caption, "雅虎");
    EXPECT_EQ(side("dual_soso").caption, "搜搜");
    EXPECT_EQ(side("dual_soso").index, 3);
    EXPECT_EQ(side("diy2").index, EngineTable::kDiy2Tab);
}

TEST(EnginePage, HealthTextsSayNothingUntilSomethingIsKnown) {
    EngineHealth health;
    EXPECT_EQ(countsText(health.summary("baidu")), "");
    EXPECT_EQ(medianText(health.summary("baidu")), "");
    health.record("baidu", EngineOutcome{EngineResult::Slow, 0, 0, 0, -1, {}, {}});
    EXPECT_EQ(countsText(health.summary("baidu")), "0 / 1");
    EXPECT_EQ(medianText(health.summary("baidu")), "");
    health.record("baidu", EngineOutcome{EngineResult::Ok, 200, 0, 0, 230, {}, {}});
    EXPECT_EQ(countsText(health.summary("baidu")), "1 / 1");
    EXPECT_EQ(medianText(health.summary("baidu")), "230 毫秒");
}

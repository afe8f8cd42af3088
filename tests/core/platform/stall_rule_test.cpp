#include "platform/stall_rule.h"

#include <gtest/gtest.h>

using namespace pluvik;

namespace {

using Report = StallLook::Report;
constexpr std::uint32_t kStart = 0xFFFFE000u;  // the tick counter wraps during every test

}  // namespace

TEST(StallRuleTest, ALoopThatAnswersEveryLookIsNeverStalledNorAskedTwiceAtOnce) {
    StallRule rule(kStart);
    EXPECT_TRUE(rule.look(kStart + 1000, std::nullopt).ask);
    // Slow to answer, up to just under five seconds after it last turned: nothing to report, and
    // no second question while the first is open.
    for (std::uint32_t t : {2000u, 3000u, 4000u, 4999u}) {
        const StallLook look = rule.look(kStart + t, std::nullopt);
        EXPECT_FALSE(look.ask);
        EXPECT_EQ(look.report, Report::None);
    }
    EXPECT_EQ(rule.look(kStart + 6000, kStart + 4999).report, Report::None);
    for (std::uint32_t t = 7000; t < 20000; t += 1000) {
        const StallLook look = rule.look(kStart + t, kStart + t - 990);
        EXPECT_TRUE(look.ask);
        EXPECT_EQ(look.report, Report::None);
    }
}

TEST(StallRuleTest, AStallIsReportedOnceAtFiveSecondsAndItsEndWithItsLength) {
    StallRule rule(kStart);
    rule.look(kStart + 1000, std::nullopt);
    ASSERT_TRUE(rule.look(kStart + 2000, kStart + 1010).ask);  // last seen turning at 1010
    EXPECT_EQ(rule.look(kStart + 6009, std::nullopt).report, Report::None);
    const StallLook stalled = rule.look(kStart + 6010, std::nullopt);
    EXPECT_EQ(stalled.report, Report::Stalled);
    EXPECT_EQ(stalled.stalledMs, 5000u);
    EXPECT_EQ(rule.look(kStart + 9000, std::nullopt).report, Report::None);

    const StallLook resumed = rule.look(kStart + 10000, kStart + 9510);
    EXPECT_EQ(resumed.report, Report::Resumed);
    EXPECT_EQ(resumed.stalledMs, 8500u);
    EXPECT_TRUE(resumed.ask);
    // A second stall is a stall of its own.
    EXPECT_EQ(rule.look(kStart + 14510, std::nullopt).report, Report::Stalled);
}

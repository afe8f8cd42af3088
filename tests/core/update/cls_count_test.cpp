#include "update/cls_count.h"

#include <gtest/gtest.h>

#include <limits>

#include "fakes/fake_tick_counter.h"

namespace pluvik {
namespace {

using test::FakeTickCounter;

TEST(ClsCount, RateOfOneIntervalStaysUntilMoreIsCounted) {
    FakeTickCounter ticks(5000);
    clsCount counter(ticks);
    counter.Clear();
    ticks.advance(500);
    counter.Count(4096);
    EXPECT_EQ(counter.Speed(), 8192);
    EXPECT_EQ(counter.Speed(), 8192);

    // The next rate covers only what came after the sample.
    ticks.advance(1000);
    counter.Count(1000);
    EXPECT_EQ(counter.Speed(), 1000);
    EXPECT_EQ(counter.CountEnd(), 5096);
    EXPECT_EQ(counter.TotalTickCount(), 1500u);
    EXPECT_EQ(counter.TotalSpeed(), 3397);  // 5096 / 1.5 = 3397.33
}

TEST(ClsCount, CountingWithinTheSameTickGivesThePreviousRate) {
    FakeTickCounter ticks(100);
    clsCount counter(ticks);
    counter.Clear();
    counter.Count(10);
    counter.Count(20);
    EXPECT_EQ(counter.Speed(), 0);
    EXPECT_EQ(counter.TotalSpeed(), 0);
    EXPECT_EQ(counter.CountEnd(), 30);

    ticks.advance(1000);
    counter.Count(70);
    EXPECT_EQ(counter.Speed(), 100);  // all 100 counted since Clear, over one second
}

TEST(ClsCount, CountStartIsLeftOutOfTheAverage) {
    FakeTickCounter ticks;
    clsCount counter(ticks);
    counter.Clear();
    counter.CountStart(100);
    EXPECT_EQ(counter.CountStart(), 100);
    EXPECT_EQ(counter.CountEnd(), 100);
    ticks.advance(2000);
    counter.Count(50);
    EXPECT_EQ(counter.CountEnd(), 150);
    EXPECT_EQ(counter.TotalSpeed(), 25);
}

TEST(ClsCount, NewSpeedAfterMoreThanASecondOfCounting) {
    FakeTickCounter ticks;
    clsCount counter(ticks);
    counter.Clear();
    EXPECT_FALSE(counter.NewSpeed());
    ticks.advance(1000);
    counter.Count(1);
    EXPECT_FALSE(counter.NewSpeed());  // exactly one second is not more than one
    ticks.advance(1);
    counter.Count(1);
    EXPECT_TRUE(counter.NewSpeed());
    counter.Speed();
    EXPECT_FALSE(counter.NewSpeed());
}

TEST(ClsCount, RatesRoundHalvesToEven) {
    // 1, 3 and 5 over two seconds: 0.5, 1.5 and 2.5 per second.
    for (auto [amount, expected] : {std::pair{1, 0}, {3, 2}, {5, 2}, {7, 4}}) {
        FakeTickCounter ticks;
        clsCount counter(ticks);
        counter.Clear();
        ticks.advance(2000);
        counter.Count(amount);
        EXPECT_EQ(counter.Speed(), expected) << amount;
    }
}

TEST(ClsCount, ATickCounterThatWrapsKeepsTheIntervals) {
    // Past 2^31 the tick turns negative in a signed field, past 2^32 it starts again from 0.
    for (std::uint32_t start : {0x7FFFFF00u, 0xFFFFFF00u}) {
        FakeTickCounter ticks(start);
        clsCount counter(ticks);
        counter.Clear();
        ticks.advance(500);
        counter.Count(4096);
        EXPECT_EQ(counter.Speed(), 8192) << start;
        EXPECT_EQ(counter.TotalTickCount(), 500u) << start;
        EXPECT_EQ(counter.TotalSpeed(), 8192) << start;
        ticks.advance(1001);
        counter.Count(1);
        EXPECT_TRUE(counter.NewSpeed()) << start;
    }
}

TEST(ClsCount, RatesBeyond32BitsAreClampedAndCountsGoOn) {
    FakeTickCounter ticks;
    clsCount counter(ticks);
    counter.Clear();
    ticks.advance(1);
    counter.Count(3'000'000'000);
    EXPECT_EQ(counter.Speed(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(counter.TotalSpeed(), std::numeric_limits<std::int32_t>::max());
    counter.Count(3'000'000'000);
    EXPECT_EQ(counter.CountEnd(), 6'000'000'000);
}

}  // namespace
}  // namespace pluvik

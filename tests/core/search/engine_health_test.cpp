#include "search/engine_health.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/file_io.h"

using namespace pluvik;

namespace {

EngineOutcome outcome(EngineResult result, std::int64_t ms) {
    EngineOutcome out;
    out.result = result;
    out.ms = ms;
    return out;
}

}  // namespace

TEST(EngineHealth, KeepsTheLatestTwentyAndSummarisesThem) {
    EngineHealth health;
    EXPECT_FALSE(health.summary("baidu").last);
    // Five old slow searches fall out of the twenty kept.
    for (int i = 0; i < 5; ++i) health.record("baidu", outcome(EngineResult::Slow, -1));
    for (int i = 0; i < 17; ++i) health.record("baidu", outcome(EngineResult::Ok, 100 + i));
    health.record("baidu", outcome(EngineResult::HttpError, 5));
    health.record("baidu", outcome(EngineResult::Slow, -1));
    health.record("baidu", outcome(EngineResult::NoKeyword, 900));
    const EngineHealth::Summary s = health.summary("baidu");
    EXPECT_EQ(s.last, EngineResult::NoKeyword);
    EXPECT_EQ(s.successes, 17);
    EXPECT_EQ(s.failures, 3);
    // Nineteen loads ended: 5, 100..116, 900; the median is the tenth.
    EXPECT_EQ(s.medianMs, 108);
    EXPECT_FALSE(health.summary("google").last);
    health.record("google", outcome(EngineResult::Ok, 10));
    health.record("google", outcome(EngineResult::Ok, 20));
    EXPECT_EQ(health.summary("google").medianMs, 15);
}

TEST(EngineHealth, TheFileReadsBackAndABadOneStartsEmpty) {
    EngineHealth health;
    health.record("mini_baidu", outcome(EngineResult::Ok, 230));
    health.record("mini_baidu", outcome(EngineResult::Slow, -1));
    health.record("dual_sogou", outcome(EngineResult::NetworkError, 12));
    const auto dir = std::filesystem::temp_directory_path() / "pluvik_health_test";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(health.save(dir / kEngineHealthFileName));
    EXPECT_FALSE(health.changed());
    const EngineHealth read = EngineHealth::load(dir / kEngineHealthFileName);
    EXPECT_EQ(read.toText(), health.toText());
    EXPECT_EQ(read.summary("mini_baidu").failures, 1);
    EXPECT_EQ(read.summary("dual_sogou").last, EngineResult::NetworkError);
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(EngineHealth::load(dir / kEngineHealthFileName).summary("mini_baidu").last);

    // Another version, or bytes that are no record at all, start empty; a bad line loses only
    // its own engine.
    for (const char* text : {"pluvik-health 2\nbaidu ok:1\n", "\xff\xfe\0garbage", ""})
        EXPECT_EQ(EngineHealth::fromText(text).toText(), "pluvik-health 1\n") << text;
    const EngineHealth partly = EngineHealth::fromText(
        "pluvik-health 1\r\nbaidu ok:12 fine:3\r\ngoogle ok:-4\r\nsogou  slow ok:7\r\nyahoo\r\n");
    EXPECT_EQ(partly.toText(), "pluvik-health 1\nsogou slow ok:7\n");

    // A full disk keeps the record's news for the next try.
    health.record("baidu", outcome(EngineResult::Ok, 1));
    std::string error;
    EXPECT_FALSE(health.save(
        dir / kEngineHealthFileName, &error,
        [](const std::filesystem::path&, std::string_view, std::string* e) { return *e = "满", false; }));
    EXPECT_EQ(error, "满");
    EXPECT_TRUE(health.changed());
}

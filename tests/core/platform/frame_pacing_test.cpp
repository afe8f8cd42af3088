#include "platform/frame_pacing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/render_path.h"

using namespace pluvik;

TEST(FramePacing, AnAnimationIsShownAtTheCalmRateButEveryFrameWhileTheUserWorksWithThePage) {
    FramePacing pacing(66);
    EXPECT_EQ(pacing.holdFor(1000), 0u);  // the first frame, and any frame after a quiet spell, at once
    EXPECT_EQ(pacing.holdFor(1005), 61u);
    EXPECT_EQ(pacing.holdFor(1065), 1u);
    EXPECT_EQ(pacing.holdFor(1066), 0u);
    EXPECT_EQ(pacing.holdFor(1070), 62u);

    pacing.userActive(1100);  // a scroll, a key, the mouse over the page
    EXPECT_EQ(pacing.holdFor(1101), 0u);
    EXPECT_EQ(pacing.holdFor(1117), 0u);
    EXPECT_EQ(pacing.holdFor(1100 + FramePacing::kInputGraceMs - 1), 0u);
    EXPECT_EQ(pacing.holdFor(1100 + FramePacing::kInputGraceMs), 65u);  // calm again after the moment
    EXPECT_EQ(pacing.holdFor(5000), 0u);
}

TEST(FramePacing, ALoadGetsEveryFrameUntilItEndsButNotForEver) {
    FramePacing pacing(33);
    pacing.loadStarted(1000);
    EXPECT_EQ(pacing.holdFor(1000), 0u);
    EXPECT_EQ(pacing.holdFor(1010), 0u);
    pacing.loadFinished();
    EXPECT_EQ(pacing.holdFor(1020), 23u);

    // A load that never ends is paced once its ten seconds are over.
    pacing.loadStarted(2000);
    EXPECT_EQ(pacing.holdFor(2000 + FramePacing::kLoadGraceMs - 1), 0u);
    EXPECT_EQ(pacing.holdFor(2000 + FramePacing::kLoadGraceMs), 32u);
    EXPECT_EQ(FramePacing::kLoadGraceMs, 10000u);
}

TEST(FramePacing, CountsAcrossTheTickCountersWrapAndZeroPacesNothing) {
    FramePacing pacing(66);
    EXPECT_EQ(pacing.holdFor(0xFFFFFFF0u), 0u);
    EXPECT_EQ(pacing.holdFor(0x10u), 34u);  // 32 ms later
    EXPECT_EQ(pacing.holdFor(0x40u), 0u);   // 80 ms later
    pacing.userActive(0xFFFFFF00u);
    EXPECT_EQ(pacing.holdFor(0x50u), 0u);  // inside the moment after the work, across the wrap

    FramePacing everyFrame(0);
    for (std::uint32_t t = 0; t < 50; t += 5) EXPECT_EQ(everyFrame.holdFor(t), 0u);
}

TEST(AnimationFps, StandardIsCalmOnSoftwareSaverOrBatteryIsSlowerSmoothAndGlShowEveryFrame) {
    using C = AnimationChoice;
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, ""), kStandardAnimationFps);  // the default
    EXPECT_EQ(chooseAnimationFps(RenderPath::Gl, ""), 0);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, "", C::Smooth), 0);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, "", C::Saver), kSaverAnimationFps);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Gl, "", C::Saver), kSaverAnimationFps);
    // On battery Standard behaves as Saver; Smooth stays the user's word.
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, "", C::Standard, true), kSaverAnimationFps);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, "", C::Smooth, true), 0);
    // PLUVIK_ANIMATION_FPS wins over every choice; what is not a rate is no override.
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, "0", C::Saver, true), 0);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Gl, "45", C::Smooth), 45);
    for (const char* bad : {"-5", "fast", "15fps", "2000", " 20", "99999"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(chooseAnimationFps(RenderPath::Software, bad, C::Saver), kSaverAnimationFps);
    }
}

TEST(AnimationFps, TheChoiceReadsBackFromItsFileAndRubbishIsNoChoice) {
    for (AnimationChoice c : {AnimationChoice::Smooth, AnimationChoice::Standard, AnimationChoice::Saver})
        EXPECT_EQ(parseAnimationChoice(std::string(animationChoiceName(c)) + "\r\n"), c);
    EXPECT_EQ(parseAnimationChoice(" Saver "), AnimationChoice::Saver);
    for (const char* bad : {"", "fast", "saver smooth", "\xb1\xea\xd7\xbc"})
        EXPECT_FALSE(parseAnimationChoice(bad));
}

namespace {

// A folder laid out as /sys/class/power_supply, one sub-folder per supply and one file per value.
struct PowerSupplies {
    PowerSupplies()
        : dir(std::filesystem::temp_directory_path() / ("pluvik-power-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~PowerSupplies() { std::filesystem::remove_all(dir); }
    void set(const std::string& supply, const std::string& name, const std::string& value) {
        std::filesystem::create_directories(dir / supply);
        std::ofstream(dir / supply / name) << value << "\n";
    }
    std::filesystem::path dir;
};

}  // namespace

TEST(AnimationFps, OnBatteryOnlyWhileTheSystemsBatteryDischargesAndNoMainsIsOnline) {
    PowerSupplies power;
    EXPECT_FALSE(runsOnBattery(power.dir / "missing"));  // a desktop without supplies
    power.set("BAT0", "type", "Battery");
    power.set("BAT0", "status", "Discharging");
    power.set("AC", "type", "Mains");
    power.set("AC", "online", "0");
    EXPECT_TRUE(runsOnBattery(power.dir));
    power.set("AC", "online", "1");
    EXPECT_FALSE(runsOnBattery(power.dir));
    power.set("AC", "online", "0");
    power.set("BAT0", "status", "Full");
    // A wireless mouse's battery runs down whatever the machine runs on.
    power.set("hidpp_battery_0", "type", "Battery");
    power.set("hidpp_battery_0", "scope", "Device");
    power.set("hidpp_battery_0", "status", "Discharging");
    EXPECT_FALSE(runsOnBattery(power.dir));
}

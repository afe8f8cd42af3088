#include "platform/frame_pacing.h"

#include <gtest/gtest.h>

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

TEST(AnimationFps, SoftwarePathIsCalmGlShowsEveryFrameAndTheUserCanSetTheRate) {
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, ""), kSoftwareAnimationFps);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Gl, ""), 0);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Software, "0"), 0);
    EXPECT_EQ(chooseAnimationFps(RenderPath::Gl, "30"), 30);
    for (const char* bad : {"-5", "fast", "15fps", "2000", " 20", "99999"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(chooseAnimationFps(RenderPath::Software, bad), kSoftwareAnimationFps);
    }
}

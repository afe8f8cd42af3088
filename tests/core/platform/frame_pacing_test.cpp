#include "platform/frame_pacing.h"

#include <gtest/gtest.h>

#include "platform/render_path.h"

using namespace pluvik;

TEST(FramePacing, AnAnimationIsShownAtTheCalmRateButEveryFrameWhileTheUserWorksWithThePage) {
    FramePacing pacing(66);
    EXPECT_TRUE(pacing.mayDraw(1000));  // the first frame, and any frame after a quiet spell, at once
    EXPECT_FALSE(pacing.mayDraw(1005));
    EXPECT_FALSE(pacing.mayDraw(1065));
    EXPECT_TRUE(pacing.mayDraw(1066));
    EXPECT_FALSE(pacing.mayDraw(1070));

    pacing.userActive(1100);  // a scroll, a key, the mouse over the page
    EXPECT_TRUE(pacing.mayDraw(1101));
    EXPECT_TRUE(pacing.mayDraw(1117));
    EXPECT_TRUE(pacing.mayDraw(1100 + FramePacing::kInputGraceMs - 1));
    EXPECT_FALSE(pacing.mayDraw(1100 + FramePacing::kInputGraceMs));  // calm again after the moment
    EXPECT_TRUE(pacing.mayDraw(5000));
}

TEST(FramePacing, CountsAcrossTheTickCountersWrapAndZeroPacesNothing) {
    FramePacing pacing(66);
    EXPECT_TRUE(pacing.mayDraw(0xFFFFFFF0u));
    EXPECT_FALSE(pacing.mayDraw(0x10u));  // 32 ms later
    EXPECT_TRUE(pacing.mayDraw(0x40u));   // 80 ms later
    pacing.userActive(0xFFFFFF00u);
    EXPECT_TRUE(pacing.mayDraw(0x50u));   // inside the moment after the work, across the wrap

    FramePacing everyFrame(0);
    for (std::uint32_t t = 0; t < 50; t += 5) EXPECT_TRUE(everyFrame.mayDraw(t));
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

#include "shell/window_fit.h"

#include <gtest/gtest.h>

using namespace pluvik;

namespace {
const DesktopRect kWork{0, 0, 1280, 994};  // a 1280 x 1024 screen with a 30-pixel panel at the bottom
const FrameMargins kFrame{4, 24, 4, 4};    // a title bar and thin borders
}  // namespace

TEST(WindowFit, FrameFillsTheWorkAreaWithTheTitleBarOnScreen) {
    const DesktopRect inner = innerFilling(kWork, kFrame);
    EXPECT_EQ(inner, (DesktopRect{4, 24, 1272, 966}));
    EXPECT_EQ(frameAround(inner, kFrame), kWork);
}

TEST(WindowFit, AWindowStickingOutMovesInByTheLeastDistance) {
    // Inside already: stays.
    EXPECT_EQ(innerInside({100, 100, 800, 600}, kFrame, kWork), (DesktopRect{100, 100, 800, 600}));
    // Below the bottom (the ranking window at y = 439): its frame's bottom comes up to the panel.
    EXPECT_EQ(innerInside({240, 439, 800, 600}, kFrame, kWork), (DesktopRect{240, 994 - 4 - 600, 800, 600}));
    // Above and left of the screen: the title bar comes down to the top edge.
    EXPECT_EQ(innerInside({0, 0, 800, 600}, kFrame, kWork), (DesktopRect{4, 24, 800, 600}));
    // Larger than the work area: the title bar and system menu stay on screen.
    EXPECT_EQ(innerInside({-50, 300, 1400, 1100}, kFrame, kWork), (DesktopRect{4, 24, 1400, 1100}));
    // A work area that does not start at 0 (a panel at the top, a second screen).
    EXPECT_EQ(innerInside({1200, 0, 400, 300}, kFrame, {1280, 40, 1024, 728}),
              (DesktopRect{1284, 64, 400, 300}));
}

TEST(WindowFit, CentredFrame) {
    // The dual window: 1000 x 660 inner, frame 1008 x 688, centred in 1280 x 994.
    EXPECT_EQ(innerCentred(1000, 660, kFrame, kWork), (DesktopRect{136 + 4, 153 + 24, 1000, 660}));
    EXPECT_EQ(innerCentred(1400, 1100, kFrame, kWork), (DesktopRect{4, 24, 1400, 1100}));
}

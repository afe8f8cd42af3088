#include "shell/gettask.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(Gettask, TaskbarHeightIsTheStripBelowTheWorkArea) {
    // 768 pixels at 15 twips per pixel, taskbar of 40 pixels at the bottom.
    EXPECT_EQ(TaskbarHeight({768 * 15.0, 15, 728}), 600);
    // Work area down to the screen's bottom edge (taskbar at the top or a side).
    EXPECT_EQ(TaskbarHeight({768 * 15.0, 15, 768}), 0);
    // 128 dpi: 11.25 twips per pixel, 30 pixels = 337.5 twips.
    EXPECT_EQ(TaskbarHeight({1080 * 11.25, 11.25, 1050}), 338);
    EXPECT_EQ(TaskbarHeight({1080 * 14.6, 14.6, 1079}), 15);
}

TEST(Gettask, ImpossibleScreensGiveNoTaskbar) {
    EXPECT_EQ(TaskbarHeight({768 * 15.0, 15, 800}), 0);  // work area below the screen
    EXPECT_EQ(TaskbarHeight({768 * 15.0, 0, 700}), 0);
    EXPECT_EQ(TaskbarHeight({100000 * 15.0, 15, 0}), 32767);  // capped to 16 bits, not wrapped
}

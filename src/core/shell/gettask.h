#pragma once

#include <cstdint>

namespace pluvik {

// What the taskbar height is computed from: the screen height in twips, the screen's vertical twips
// per pixel and the bottom edge of the work area (the screen without the taskbar) in pixels.
struct ScreenMetrics {
    double screenHeightTwips = 0;
    double twipsPerPixelY = 0;
    int workAreaBottomPx = 0;
};

// Height in twips of the part of the screen below the work area, rounded to the nearest twip: the
// taskbar's height when it sits at the bottom, 0 when it sits at the top or a side. A work area that
// reaches below the screen leaves no strip and gives 0 as well, and a strip taller than 16 bits can
// hold is capped at 32767.
int16_t TaskbarHeight(const ScreenMetrics& screen);

}  // namespace pluvik

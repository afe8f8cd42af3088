#include "shell/gettask.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pluvik {

int16_t TaskbarHeight(const ScreenMetrics& screen) {
    if (!(screen.twipsPerPixelY > 0)) return 0;
    const double screenHeightPx = screen.screenHeightTwips / screen.twipsPerPixelY;
    const double twips = std::round((screenHeightPx - screen.workAreaBottomPx) * screen.twipsPerPixelY);
    if (!(twips > 0)) return 0;  // also NaN from a broken screen height
    return static_cast<int16_t>(std::min<double>(twips, std::numeric_limits<int16_t>::max()));
}

}  // namespace pluvik

#include "shell/window_fit.h"

#include <algorithm>

namespace pluvik {

DesktopRect frameAround(const DesktopRect& inner, const FrameMargins& m) {
    return {inner.x - m.left, inner.y - m.top, inner.width + m.left + m.right,
            inner.height + m.top + m.bottom};
}

DesktopRect innerFilling(const DesktopRect& work, const FrameMargins& m) {
    return {work.x + m.left, work.y + m.top, std::max(0, work.width - m.left - m.right),
            std::max(0, work.height - m.top - m.bottom)};
}

// One axis: the frame's start so that [start, start + length) lies in [low, low + room), the start
// winning when it cannot.
static int startInside(int start, int length, int low, int room) {
    return std::max(low, std::min(start, low + room - length));
}

DesktopRect innerInside(const DesktopRect& inner, const FrameMargins& m, const DesktopRect& work) {
    const DesktopRect frame = frameAround(inner, m);
    const int x = startInside(frame.x, frame.width, work.x, work.width);
    const int y = startInside(frame.y, frame.height, work.y, work.height);
    return {x + m.left, y + m.top, inner.width, inner.height};
}

DesktopRect innerCentred(int width, int height, const FrameMargins& m, const DesktopRect& work) {
    const int frameWidth = width + m.left + m.right;
    const int frameHeight = height + m.top + m.bottom;
    const DesktopRect centred{work.x + (work.width - frameWidth) / 2 + m.left,
                              work.y + (work.height - frameHeight) / 2 + m.top, width, height};
    return innerInside(centred, m, work);
}

}  // namespace pluvik

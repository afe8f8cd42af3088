#pragma once

namespace pluvik {

// A rectangle on the desktop in pixels: a window's inner area, its frame or a screen's work area.
struct DesktopRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DesktopRect&) const = default;
};

// What the window manager draws around a window's inner area (title bar, borders).
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const FrameMargins&) const = default;
};

DesktopRect frameAround(const DesktopRect& inner, const FrameMargins& margins);

// The inner area whose frame fills `work` exactly (the secondary browser window).
DesktopRect innerFilling(const DesktopRect& work, const FrameMargins& margins);

// Where a window's inner area goes so that its whole frame lies in `work`: a window that is already
// inside stays where it is, one that sticks out moves in by the least distance. A frame larger than
// the work area keeps its top left corner (the title bar with the system menu) at the work area's, so
// the window can always be moved and closed. The size never changes.
DesktopRect innerInside(const DesktopRect& inner, const FrameMargins& margins, const DesktopRect& work);

// The inner area of a window whose frame is centred in `work` (moved in, as above, when too large).
DesktopRect innerCentred(int width, int height, const FrameMargins& margins, const DesktopRect& work);

}  // namespace pluvik

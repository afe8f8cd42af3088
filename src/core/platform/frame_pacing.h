#pragma once

#include <cstdint>

namespace pluvik {

// When a page that keeps redrawing itself may put its next frame on the screen. Where every frame
// costs a copy of the whole view on the CPU (the software path), a page's own animation (an
// advertisement, a spinner, an animated picture) is shown at a calm rate; the engine waits for each
// frame to be taken before it draws the next, so it slows down with it. While the user works with
// the page (scrolls, types, moves the mouse) and for a moment after, every frame is shown at once.
// Times are readings of the millisecond tick counter; differences survive its wrap.
class FramePacing {
public:
    // idleIntervalMs: the least time between two frames of a page nobody works with; 0 paces nothing.
    explicit FramePacing(std::uint32_t idleIntervalMs, std::uint32_t inputGraceMs = kInputGraceMs);

    static constexpr std::uint32_t kInputGraceMs = 1000;
    // How long a load gets every frame: a page that never finishes loading (one that trickles on
    // for ever, an endless stream) is paced as any other after that.
    static constexpr std::uint32_t kLoadGraceMs = 10000;

    // The calm interval from now on (the user chose another rate, the machine went on battery).
    void setInterval(std::uint32_t idleIntervalMs) { m_interval = idleIntervalMs; }

    // The user worked with the page at now (scrolled, typed, moved the mouse over it), or it plays a
    // video or sound.
    void userActive(std::uint32_t now);
    // The page began to load at now, or its load ended.
    void loadStarted(std::uint32_t now);
    void loadFinished() { m_loading = false; }
    // How many milliseconds a frame that is ready at now waits: 0 when it may be drawn at once, and
    // then it counts as drawn at now.
    std::uint32_t holdFor(std::uint32_t now);

private:
    std::uint32_t m_interval;
    std::uint32_t m_grace;
    bool m_drawn = false;
    std::uint32_t m_lastDraw = 0;
    bool m_worked = false;
    std::uint32_t m_lastInput = 0;
    bool m_loading = false;
    std::uint32_t m_loadStart = 0;
};

}  // namespace pluvik

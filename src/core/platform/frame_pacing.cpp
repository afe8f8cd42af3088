#include "platform/frame_pacing.h"

namespace pluvik {

FramePacing::FramePacing(std::uint32_t idleIntervalMs, std::uint32_t inputGraceMs)
    : m_interval(idleIntervalMs), m_grace(inputGraceMs) {}

void FramePacing::userActive(std::uint32_t now) {
    m_worked = true;
    m_lastInput = now;
}

void FramePacing::loadStarted(std::uint32_t now) {
    m_loading = true;
    m_loadStart = now;
}

std::uint32_t FramePacing::holdFor(std::uint32_t now) {
    // Unsigned differences stay right across the counter's wrap.
    const auto since = [now](std::uint32_t then) { return now - then; };
    // A page that loads is waited for: its frames come at once until it has loaded, or for a while.
    const bool working =
        (m_worked && since(m_lastInput) < m_grace) || (m_loading && since(m_loadStart) < kLoadGraceMs);
    if (working || m_interval == 0 || !m_drawn || since(m_lastDraw) >= m_interval) {
        m_drawn = true;
        m_lastDraw = now;
        return 0;
    }
    return m_interval - since(m_lastDraw);
}

}  // namespace pluvik

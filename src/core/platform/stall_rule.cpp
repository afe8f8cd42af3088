#include "platform/stall_rule.h"

namespace pluvik {

StallLook StallRule::look(std::uint32_t now, std::optional<std::uint32_t> answeredAt) {
    StallLook result;
    if (m_asking && answeredAt) {
        m_asking = false;
        if (m_stalled) {
            m_stalled = false;
            result.report = StallLook::Report::Resumed;
            result.stalledMs = *answeredAt - m_lastTurn;
        }
        m_lastTurn = *answeredAt;
    }
    if (!m_asking) {
        m_asking = true;
        result.ask = true;
        return result;
    }
    const std::uint32_t still = now - m_lastTurn;
    if (!m_stalled && still >= kStallMs) {
        m_stalled = true;
        result.report = StallLook::Report::Stalled;
        result.stalledMs = still;
    }
    return result;
}

}  // namespace pluvik

#include "update/cls_count.h"

#include <cmath>
#include <limits>

namespace pluvik {
namespace {

// amount / (ms / 1000), rounded to the nearest integer with halves to the even neighbour, and held
// inside the 32-bit range.
std::int32_t ratePerSecond(std::int64_t amount, std::uint32_t ms) {
    const double rate = static_cast<double>(amount) / (static_cast<double>(ms) / 1000.0);
    // std::nearbyint follows the current rounding mode, which nobody in this program changes from
    // round-to-nearest-even; spelling it out keeps the rule independent of that.
    double rounded = std::floor(rate);
    const double fraction = rate - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (rounded >= kMax) return std::numeric_limits<std::int32_t>::max();
    if (rounded <= kMin) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

void clsCount::Clear() {
    m_countStart = m_countEnd = m_sampleCount = 0;
    m_lastSpeed = 0;
    m_tickStart = m_tickEnd = m_sampleTick = m_ticks.tickCount();
}

void clsCount::CountStart(std::int64_t value) {
    m_countStart = m_countEnd = value;
}

void clsCount::Count(std::int64_t amount) {
    m_countEnd += amount;
    m_tickEnd = m_ticks.tickCount();
}

std::int32_t clsCount::Speed() {
    if (m_sampleTick == m_tickEnd) return m_lastSpeed;
    m_lastSpeed = ratePerSecond(m_countEnd - m_sampleCount, m_tickEnd - m_sampleTick);
    m_sampleTick = m_tickEnd;
    m_sampleCount = m_countEnd;
    return m_lastSpeed;
}

std::int32_t clsCount::TotalSpeed() const {
    if (m_tickEnd == m_tickStart) return 0;
    return ratePerSecond(m_countEnd - m_countStart, m_tickEnd - m_tickStart);
}

}  // namespace pluvik

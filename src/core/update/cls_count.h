#pragma once

#include <cstdint>

#include "platform/tick_counter.h"

namespace pluvik {

// Accumulates amounts (bytes, in the download) against the millisecond tick counter and turns them
// into rates per second: the current rate since the last time it was asked for, and the average
// since Clear.
//
// Tick differences are taken in unsigned 32-bit arithmetic, so a tick counter that wraps in the
// middle of a measurement still gives the right intervals. Counts are kept in 64 bits, so a transfer
// beyond 2 GB goes on counting. Rates that do not fit into 32 bits are clamped to the 32-bit range.
class clsCount {
public:
    explicit clsCount(TickCounter& ticks) : m_ticks(ticks) {}

    std::int64_t CountStart() const { return m_countStart; }
    std::int64_t CountEnd() const { return m_countEnd; }
    // Average rate since Clear, per second; 0 while no time has passed.
    std::int32_t TotalSpeed() const;
    // Milliseconds from Clear to the last Count.
    std::uint32_t TotalTickCount() const { return m_tickEnd - m_tickStart; }

    // Starts a measurement: every count and the last rate become 0, every tick field the current tick.
    void Clear();
    // Starts the counting from `value`: the amount counted before is not part of the rates.
    void CountStart(std::int64_t value);
    void Count(std::int64_t amount);

    // The rate since the previous sample, per second, and takes a new sample. Nothing counted since
    // then (or only within the same tick) gives the previous rate again.
    std::int32_t Speed();
    // True once more than kSampleMs of counting lie after the last sample.
    static constexpr std::uint32_t kSampleMs = 1000;
    bool NewSpeed() const { return static_cast<std::uint32_t>(m_tickEnd - m_sampleTick) > kSampleMs; }

private:
    TickCounter& m_ticks;
    std::int64_t m_countStart = 0;
    std::int64_t m_countEnd = 0;
    std::int64_t m_sampleCount = 0;
    std::int32_t m_lastSpeed = 0;
    std::uint32_t m_tickStart = 0;
    std::uint32_t m_tickEnd = 0;
    std::uint32_t m_sampleTick = 0;
};

}  // namespace pluvik

#pragma once

#include <chrono>

#include "platform/tick_counter.h"

namespace pluvik {

// The millisecond tick counter over the monotonic clock, wrapping at 2^32 like the system's.
class SteadyTickCounter : public TickCounter {
public:
    std::uint32_t tickCount() override {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<std::uint32_t>(ms.count());
    }
};

}  // namespace pluvik

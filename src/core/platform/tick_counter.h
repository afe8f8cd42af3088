#pragma once

#include <cstdint>

namespace pluvik {

// The system's millisecond tick counter: milliseconds since some fixed start, wrapping to 0 after
// 2^32 ms (about 49.7 days). Only differences between two readings mean anything.
class TickCounter {
public:
    virtual ~TickCounter() = default;
    virtual std::uint32_t tickCount() = 0;
};

}  // namespace pluvik

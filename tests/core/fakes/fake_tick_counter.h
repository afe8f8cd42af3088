#pragma once

#include <cstdint>

#include "platform/tick_counter.h"

namespace pluvik::test {

// A tick counter that stands still until the test moves it.
class FakeTickCounter : public TickCounter {
public:
    explicit FakeTickCounter(std::uint32_t start = 0) : now(start) {}

    std::uint32_t tickCount() override { return now; }
    void advance(std::uint32_t ms) { now += ms; }

    std::uint32_t now;
};

}  // namespace pluvik::test

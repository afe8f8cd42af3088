#pragma once

#include <cstdint>
#include <optional>

namespace pluvik {

// What the watch on the main thread does after one look at the event loop.
struct StallLook {
    enum class Report { None, Stalled, Resumed };
    bool ask = false;  // put a new question to the loop (the one before was answered)
    Report report = Report::None;
    // Stalled: how long the loop has not turned so far; Resumed: how long it did not turn in all.
    std::uint32_t stalledMs = 0;
};

// When the main thread counts as stalled. The watch looks once every kLookMs and keeps one
// question to the event loop open at a time; the loop answers it when it next turns. The loop has
// stalled when a question is open and the loop has not been seen turning for kStallMs; that is
// reported once, and the answer that finally comes reports the stall's end and length. The loop is
// only seen at its answers, so a stall is measured from the last answer: up to one look longer
// than the loop really stood still. Times are milliseconds of a tick counter that wraps.
class StallRule {
public:
    static constexpr std::uint32_t kLookMs = 1000;
    static constexpr std::uint32_t kStallMs = 5000;

    explicit StallRule(std::uint32_t now) : m_lastTurn(now) {}

    // A look at `now`; `answeredAt` is when the loop answered the open question, if it has.
    StallLook look(std::uint32_t now, std::optional<std::uint32_t> answeredAt);

private:
    std::uint32_t m_lastTurn;
    bool m_asking = false;
    bool m_stalled = false;
};

}  // namespace pluvik

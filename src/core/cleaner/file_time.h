#pragma once

#include <cstdint>

#include "platform/url_history_storage.h"

namespace pluvik {

constexpr FileTime kFileTimeTicksPerSecond = 10'000'000;
constexpr FileTime kFileTimeTicksPerDay = kFileTimeTicksPerSecond * 86'400;
// 1 January 1970 in file-time ticks.
constexpr FileTime kUnixEpochFileTime = 116'444'736'000'000'000;

// Now, in file-time ticks.
FileTime currentFileTime();

// The date value of a file time in local time: days since 30 December 1899 with the time of day as
// the fraction, milliseconds and finer left out. Days before 30 December 1899 count negative while
// the time of day still adds to the magnitude (6 o'clock on 29 December 1899 is -1.25).
double fileTimeToLocalAutomationDate(FileTime utc);

}  // namespace pluvik

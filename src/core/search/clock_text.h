#pragma once

#include <string>

namespace pluvik {

// The main window's clock in the short date and long time formats of a Chinese system, whatever the
// locale the program runs in: "2026/12/9" and "9:05:03".
std::string clockDate(int year, int month, int day);
std::string clockTime(int hour, int minute, int second);
// Timer1 sets the clock this often.
inline constexpr int kClockTickMs = 1000;

}  // namespace pluvik

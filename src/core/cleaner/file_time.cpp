#include "cleaner/file_time.h"

#include <chrono>
#include <ctime>

namespace pluvik {

namespace {

// Whole seconds, rounded towards the past, so that a time just before a second never reads as the
// following second.
std::int64_t floorSeconds(FileTime ticks) {
    const std::int64_t since = ticks - kUnixEpochFileTime;
    std::int64_t seconds = since / kFileTimeTicksPerSecond;
    if (since % kFileTimeTicksPerSecond < 0) --seconds;
    return seconds;
}

}  // namespace

FileTime currentFileTime() {
    using namespace std::chrono;
    const auto ticks = duration_cast<duration<std::int64_t, std::ratio<1, 10'000'000>>>(
        system_clock::now().time_since_epoch());
    return kUnixEpochFileTime + ticks.count();
}

double fileTimeToLocalAutomationDate(FileTime utc) {
    using namespace std::chrono;
    const std::time_t seconds = static_cast<std::time_t>(floorSeconds(utc));
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return 0.0;
    const year_month_day date{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                              day{static_cast<unsigned>(local.tm_mday)}};
    constexpr year_month_day kEpoch{year{1899}, month{12}, day{30}};
    const long days = (sys_days{date} - sys_days{kEpoch}).count();
    const double fraction = (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

}  // namespace pluvik

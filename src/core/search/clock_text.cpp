#include "search/clock_text.h"

#include <cstdio>

namespace pluvik {

std::string clockDate(int year, int month, int day) {
    return std::to_string(year) + "/" + std::to_string(month) + "/" + std::to_string(day);
}

std::string clockTime(int hour, int minute, int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", hour, minute, second);
    return text;
}

}  // namespace pluvik

#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "search/key_lines.h"

namespace pluvik::fuzz {

// The lines a reader of key=value files skipped: each reported once, in order, with a line number
// inside the file, as valid UTF-8 of bounded length, for one of the reader's reasons.
inline void checkIgnored(const std::vector<IgnoredLine>& ignored, std::size_t lineCount,
                         std::initializer_list<std::string_view> reasons) {
    int previous = 0;
    for (const IgnoredLine& line : ignored) {
        FUZZ_CHECK(line.line > previous && static_cast<std::size_t>(line.line) <= lineCount);
        previous = line.line;
        FUZZ_CHECK(line.text.size() <= 200);
        FUZZ_CHECK(isValidUtf8(line.text));
        FUZZ_CHECK(std::find(reasons.begin(), reasons.end(), line.reason) != reasons.end());
    }
}

inline std::size_t lineCount(std::string_view bytes) {
    return 1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

}  // namespace pluvik::fuzz

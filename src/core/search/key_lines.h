#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvik {

// A line of a "key=value" file in the program directory that its reader did not take, for the trace.
struct IgnoredLine {
    int line = 0;        // counted from 1
    std::string text;    // the line as UTF-8, at most 200 bytes
    std::string reason;  // "no_equals_sign", "unknown_key" or what the reader of the values says
};

// What a reader does with one line: empty when it took the line, otherwise why not.
using TakeKeyLine = std::function<std::string(const std::string& key, std::string_view value)>;

// Reads the files the user writes by hand, one "key=value" a line (the hosts file, the engines
// file): the bytes as textFileToUtf8 reads them (GBK or UTF-8, a byte-order mark or none), lines
// ending in LF or CR LF, blank lines and lines starting with '#' or ';' skipped, the key lower-cased,
// key and value without the blanks around them. A line without '=' is ignored as "no_equals_sign",
// every other one goes to `take`. Gives the lines not taken.
std::vector<IgnoredLine> readKeyLines(std::string_view bytes, const TakeKeyLine& take);

}  // namespace pluvik

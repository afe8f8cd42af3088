#pragma once

#include <cstdint>
#include <string>

namespace pluvik {

// The short rendering of a byte size in the program's language, three significant digits, cut off
// rather than rounded up (a size never shows larger than it is): "500 字节", "1.00 KB", "20.0 KB",
// "999 KB", "0.97 MB", "1.00 MB", up to EB.
std::string shortByteSize(std::int64_t bytes);

// A byte count for the download's status line: above 1024, the plain number, "字节(", the short
// rendering and ")", so 2048 gives "2048字节(2.00 KB)"; 1024 or less, the short rendering alone.
std::string FormatBytes(std::int64_t value);

}  // namespace pluvik

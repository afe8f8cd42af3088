#include "update/format_bytes.h"

#include <array>

namespace pluvik {

std::string shortByteSize(std::int64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " 字节";

    static constexpr std::array<const char*, 6> kUnits{"KB", "MB", "GB", "TB", "PB", "EB"};
    const auto value = static_cast<std::uint64_t>(bytes);
    // The unit is the largest one the value reaches a thousandth of, so 1000 KB and more reads as
    // 0.97 MB and the number before the unit never has more than three digits.
    std::size_t unit = 0;
    while (unit + 1 < kUnits.size() && value >= 1000ull << (10 * (unit + 1))) ++unit;
    const unsigned shift = 10 * static_cast<unsigned>(unit + 1);

    const std::uint64_t whole = value >> shift;
    const int decimals = whole < 10 ? 2 : whole < 100 ? 1 : 0;
    const std::uint64_t scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
    // The remainder is below 2^shift; the multiplication by at most 100 cannot overflow a 128-bit
    // value, and shifting down cuts the fraction off.
    const std::uint64_t remainder = value & ((1ull << shift) - 1);
    __extension__ using Wide = unsigned __int128;
    const auto fraction = static_cast<std::uint64_t>((static_cast<Wide>(remainder) * scale) >> shift);

    std::string text = std::to_string(whole);
    if (decimals > 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, static_cast<std::size_t>(decimals) - digits.size(), '0');
        text += "." + digits;
    }
    return text + " " + kUnits[unit];
}

std::string FormatBytes(std::int64_t value) {
    if (value > 1024) return std::to_string(value) + "字节(" + shortByteSize(value) + ")";
    return shortByteSize(value);
}

}  // namespace pluvik

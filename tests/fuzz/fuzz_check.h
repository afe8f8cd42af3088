#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// A broken property is a finding: say which one and stop, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace pluvik::fuzz {

// Well-formed UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
inline bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        size_t len = 0;
        unsigned cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += len;
    }
    return true;
}

// The private-use code points that older GB18030 tables gave to characters Unicode has since
// encoded. The system converter follows the current table, which writes those characters as
// themselves, so it has no bytes left for these 24 code points and writes them as '?'.
inline bool isUnwritablePrivateUse(unsigned cp) {
    static constexpr unsigned kUnwritable[] = {
        0xE78D, 0xE78E, 0xE78F, 0xE790, 0xE791, 0xE792, 0xE793, 0xE794, 0xE795, 0xE796, 0xE816, 0xE817,
        0xE818, 0xE81E, 0xE826, 0xE82B, 0xE82C, 0xE831, 0xE832, 0xE83B, 0xE843, 0xE854, 0xE855, 0xE864};
    for (unsigned u : kUnwritable) {
        if (u == cp) return true;
    }
    return false;
}

// Well-formed UTF-8 in which every character has GB18030 bytes the converter writes.
inline bool isWritableUtf8(std::string_view s) {
    if (!isValidUtf8(s)) return false;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == 0xEE) {  // U+E000..U+EFFF
            const unsigned cp = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                                (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
            if (isUnwritablePrivateUse(cp)) return false;
        }
        i += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    }
    return true;
}

}  // namespace pluvik::fuzz

// The keyword encoder on any text: the result is plain ASCII that a query address can carry, and
// for well-formed UTF-8 undoing the percent-escapes and decoding the GB18030 bytes gives back the
// keyword exactly.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "search/query_address.h"
#include "shell/ini_file.h"
#include "shell/text_codec.h"

using namespace pluvik;

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte of "%XX" at `pos`, when there is one.
std::optional<unsigned char> escapeAt(std::string_view s, size_t pos) {
    if (pos + 3 > s.size() || s[pos] != '%') return std::nullopt;
    const int hi = hexValue(s[pos + 1]), lo = hexValue(s[pos + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    return static_cast<unsigned char>(hi * 16 + lo);
}

// Turns the address text back into the keyword: an escape of a byte of 0x80 or more starts a
// GB18030 character whose further bytes are escapes too (a second byte of 0x30..0x39 means four
// bytes, otherwise two); anything else is the keyword's own text.
std::string decode(std::string_view address) {
    std::string text;
    size_t i = 0;
    while (i < address.size()) {
        const std::optional<unsigned char> lead = escapeAt(address, i);
        if (!lead || *lead < 0x80) {
            text += address[i++];
            continue;
        }
        std::string character(1, static_cast<char>(*lead));
        i += 3;
        const std::optional<unsigned char> second = escapeAt(address, i);
        FUZZ_CHECK(second.has_value());
        const size_t length = *second >= 0x30 && *second <= 0x39 ? 4 : 2;
        while (character.size() < length) {
            const std::optional<unsigned char> next = escapeAt(address, i);
            FUZZ_CHECK(next.has_value());
            character += static_cast<char>(*next);
            i += 3;
        }
        FUZZ_CHECK(gb18030CharLength(character, 0) == length);
        text += gbkToUtf8(character);
    }
    return text;
}

// The user typed an escape of a high byte themselves: the address cannot tell it from one the
// encoder made, so such a keyword is left out of the round trip.
bool typesHighEscape(std::string_view keyword) {
    for (size_t i = 0; i < keyword.size(); ++i) {
        const std::optional<unsigned char> b = escapeAt(keyword, i);
        if (b && *b >= 0x80) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view keyword(reinterpret_cast<const char*>(data), size);
    const std::string encoded = encodeKeyword(keyword);
    for (char c : encoded) FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    if (fuzz::isWritableUtf8(keyword) && !typesHighEscape(keyword)) {
        FUZZ_CHECK(decode(encoded) == keyword);
    }
    return 0;
}

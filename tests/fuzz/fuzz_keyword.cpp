// The keyword encoder on any text, in both encodings: the result is plain ASCII that a query address
// can carry, with nothing but letters, digits, "*-._" and escapes in it, and for well-formed UTF-8
// undoing it gives back the keyword exactly: for UTF-8 the percent-escapes are the bytes; for GBK an
// escape below 0x80 is that byte, each escaped pair above it a GBK character, "%80" the euro sign and
// "%26%23N%3B" the reference of a character GBK lacks, which is listed among the references.

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

std::string utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

constexpr std::string_view kReferenceStart = "%26%23";
constexpr std::string_view kReferenceEnd = "%3B";

std::string decodeGbk(std::string_view address, const std::string& references) {
    std::string text;
    size_t i = 0;
    while (i < address.size()) {
        if (address.substr(i, kReferenceStart.size()) == kReferenceStart) {
            i += kReferenceStart.size();
            char32_t cp = 0;
            while (i < address.size() && address[i] >= '0' && address[i] <= '9')
                cp = cp * 10 + (address[i++] - '0');
            FUZZ_CHECK(address.substr(i, kReferenceEnd.size()) == kReferenceEnd);
            i += kReferenceEnd.size();
            const std::string character = utf8Of(cp);
            FUZZ_CHECK(references.find(character) != std::string::npos);
            text += character;
            continue;
        }
        const std::optional<unsigned char> lead = escapeAt(address, i);
        if (!lead) {
            text += address[i++];
            continue;
        }
        i += 3;
        if (*lead < 0x80) {
            text += static_cast<char>(*lead);
            continue;
        }
        if (*lead == 0x80) {
            text += "€";
            continue;
        }
        const std::optional<unsigned char> trail = escapeAt(address, i);
        FUZZ_CHECK(trail.has_value());
        i += 3;
        const std::string character{static_cast<char>(*lead), static_cast<char>(*trail)};
        FUZZ_CHECK(gb18030CharLength(character, 0) == 2);
        text += gbkToUtf8(character);
    }
    return text;
}

std::string decodeUtf8(std::string_view address) {
    std::string text;
    for (size_t i = 0; i < address.size();) {
        const std::optional<unsigned char> b = escapeAt(address, i);
        if (b) {
            text += static_cast<char>(*b);
            i += 3;
        } else {
            text += address[i++];
        }
    }
    return text;
}

// Only what a form sends as typed stands unescaped in the address.
bool onlyFormCharacters(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (!escapeAt(text, i)) return false;
            i += 2;
            continue;
        }
        const bool asTyped = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '*' || c == '-' || c == '.' || c == '_';
        if (!asTyped) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view keyword(reinterpret_cast<const char*>(data), size);
    const EncodedKeyword gbk = encodeKeyword(keyword, KeywordEncoding::Gbk);
    const EncodedKeyword utf8 = encodeKeyword(keyword, KeywordEncoding::Utf8);
    FUZZ_CHECK(onlyFormCharacters(gbk.text) && onlyFormCharacters(utf8.text));
    FUZZ_CHECK(utf8.references.empty());
    FUZZ_CHECK(fuzz::isValidUtf8(gbk.references));
    // A typed "&#" reads like the reference a form writes for a character GBK lacks: a GBK form
    // cannot tell them apart either, so such a keyword is left out of the GBK round trip.
    if (fuzz::isValidUtf8(keyword)) {
        if (keyword.find("&#") == std::string_view::npos)
            FUZZ_CHECK(decodeGbk(gbk.text, gbk.references) == keyword);
        FUZZ_CHECK(decodeUtf8(utf8.text) == keyword);
    }
    return 0;
}

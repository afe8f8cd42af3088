#include "shell/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace pluvik {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; what iconv rejects is replaced by `replacement` and skipped, one
    // unit at a time (`rejectedLength` says how long the rejected unit is).
    std::string run(std::string_view in, std::string_view replacement,
                    size_t (*rejectedLength)(const char*, size_t)) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // reset shift state
        std::string out;
        out.reserve(in.size() * 2 + 4);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ: an invalid sequence; EINVAL: a sequence cut off at the end of the input.
            out.append(replacement);
            const size_t skip = std::min(srcLeft, std::max<size_t>(1, rejectedLength(src, srcLeft)));
            src += skip;
            srcLeft -= skip;
        }
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        return out;
    }

private:
    iconv_t m_cd;
};

size_t oneByte(const char*, size_t) {
    return 1;
}

// A well-formed UTF-8 sequence that the encoder cannot write (a handful of private-use characters)
// is one character and becomes one replacement; a malformed byte is skipped alone.
size_t utf8SequenceLength(const char* p, size_t left) {
    const std::optional<Utf8Char> c = utf8CharAt(std::string_view(p, left), 0);
    return c ? c->length : 1;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    thread_local Converter converter("UTF-8", "GB18030");
    return converter.run(gbk, "\xEF\xBF\xBD", oneByte);
}

std::string utf8ToGbk(std::string_view utf8) {
    thread_local Converter converter("GB18030", "UTF-8");
    return converter.run(utf8, "?", utf8SequenceLength);
}

std::optional<Utf8Char> utf8CharAt(std::string_view s, size_t pos) {
    if (pos >= s.size()) return std::nullopt;
    const auto b = static_cast<unsigned char>(s[pos]);
    const size_t len = b < 0x80                 ? 1
                       : b >= 0xC2 && b <= 0xDF ? 2
                       : b >= 0xE0 && b <= 0xEF ? 3
                       : b >= 0xF0 && b <= 0xF4 ? 4
                                                : 0;
    if (len == 0 || pos + len > s.size()) return std::nullopt;
    char32_t cp = len == 1 ? b : b & (0x7Fu >> len);
    for (size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[pos + k]);
        if ((c & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (c & 0x3Fu);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    return Utf8Char{cp, len};
}

namespace {

// Whether s is strict UTF-8 and each of its characters passes `keep`.
template <typename Keep>
bool everyCharacter(std::string_view s, Keep keep) {
    for (size_t i = 0; i < s.size();) {
        const std::optional<Utf8Char> c = utf8CharAt(s, i);
        if (!c || !keep(c->codePoint)) return false;
        i += c->length;
    }
    return true;
}

bool isChineseText(char32_t cp) {
    return (cp >= 0x2000 && cp <= 0x9FFF) || (cp >= 0xF900 && cp <= 0xFFEF);
}

}  // namespace

bool isValidUtf8(std::string_view s) {
    return everyCharacter(s, [](char32_t) { return true; });
}

std::string textFileToUtf8(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bytes.remove_prefix(kByteOrderMark.size());
        if (isValidUtf8(bytes)) return std::string(bytes);
    } else if (everyCharacter(bytes, [](char32_t cp) { return cp < 0x80 || isChineseText(cp); })) {
        return std::string(bytes);
    }
    return gbkToUtf8(bytes);
}

std::string asciiLowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view asciiTrimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t cut = maxBytes;
    // Back to the first byte of a character (continuation bytes are 10xxxxxx).
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

}  // namespace pluvik

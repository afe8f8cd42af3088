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
    std::string run(std::string_view in, std::string_view replacement, size_t (*rejectedLength)(const char*, size_t)) {
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

size_t oneByte(const char*, size_t) { return 1; }

// A well-formed UTF-8 sequence that the encoder cannot write (a handful of private-use characters)
// is one character and becomes one replacement; a malformed byte is skipped alone.
size_t utf8SequenceLength(const char* p, size_t left) {
    const auto lead = static_cast<unsigned char>(p[0]);
    const size_t n = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 1;
    if (n > left) return 1;
    for (size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;
    }
    return n;
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

}  // namespace pluvik

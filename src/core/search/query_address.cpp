#include "search/query_address.h"

#include <stdexcept>

#include "search/engine_table.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

bool isAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

void appendPercentEncoded(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
}

}  // namespace

std::string encodeKeyword(std::string_view utf8Keyword) {
    std::string out;
    out.reserve(utf8Keyword.size() * 2);
    size_t i = 0;
    while (i < utf8Keyword.size()) {
        if (isAscii(utf8Keyword[i])) {
            out += utf8Keyword[i++];
            continue;
        }
        // A run of non-ASCII characters is converted as a whole. Every byte of the result is
        // encoded, even those below 0x80: the second byte of a GBK pair can be '@' or a letter, and
        // GB18030 four-byte sequences hold digits.
        const size_t start = i;
        while (i < utf8Keyword.size() && !isAscii(utf8Keyword[i])) ++i;
        appendPercentEncoded(out, utf8ToGbk(utf8Keyword.substr(start, i - start)));
    }
    return out;
}

std::string queryAddress(int tab, std::string_view keyword) {
    if (tab < 0 || tab >= EngineTable::kBuiltInCount) {
        throw std::out_of_range("queryAddress: tab " + std::to_string(tab) + " is not a built-in engine");
    }
    return buildQuery(*EngineTable::slot(tab).query, keyword);
}

std::string diyAddress(std::string_view prefix, std::string_view keyword) {
    return std::string(prefix) + encodeKeyword(keyword);
}

}  // namespace pluvik

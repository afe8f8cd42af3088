#include "search/query_address.h"

#include <optional>

#include "shell/text_codec.h"

namespace pluvik {
namespace {

constexpr char32_t kEuroSign = 0x20AC;

void appendPercentEncoded(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
}

// The character's GBK bytes, when GBK has it: the two-byte part of GB18030, and 0x80 for the euro
// sign, as browsers encode GBK. The converter writes four bytes for a character beyond that, and
// '?' for one it cannot write at all.
std::optional<std::string> gbkBytes(std::string_view utf8Char, char32_t codePoint) {
    if (codePoint == kEuroSign) return std::string("\x80");
    std::string bytes = utf8ToGbk(utf8Char);
    if (bytes.size() != 2) return std::nullopt;
    return bytes;
}

// The characters a browser's form sends as they are. Everything else below 0x80 is a delimiter
// somewhere in an address ("&" ends a parameter, "#" starts a fragment, "+" reads as a blank, "/"
// parts a path), so it is escaped and the engine decodes exactly the keyword typed.
bool sentAsTyped(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '*' ||
           c == '-' || c == '.' || c == '_';
}

}  // namespace

EncodedKeyword encodeKeyword(std::string_view utf8Keyword, KeywordEncoding encoding) {
    EncodedKeyword out;
    out.text.reserve(utf8Keyword.size() * 3);
    size_t i = 0;
    while (i < utf8Keyword.size()) {
        const std::optional<Utf8Char> c = utf8CharAt(utf8Keyword, i);
        if (!c) {
            out.text += "%3F";
            ++i;
            continue;
        }
        const std::string_view character = utf8Keyword.substr(i, c->length);
        i += c->length;
        if (c->codePoint < 0x80) {
            // A blank goes out as "%20", not a form's "+": three engines take the keyword into the
            // path, where "+" stays a plus.
            if (sentAsTyped(c->codePoint))
                out.text += character;
            else
                appendPercentEncoded(out.text, character);
            continue;
        }
        // Every byte of the result is encoded, even those below 0x80: the second byte of a GBK
        // pair can be '@' or a letter.
        if (encoding == KeywordEncoding::Utf8) {
            appendPercentEncoded(out.text, character);
        } else if (const std::optional<std::string> gbk = gbkBytes(character, c->codePoint)) {
            appendPercentEncoded(out.text, *gbk);
        } else {
            out.text += "%26%23" + std::to_string(static_cast<unsigned long>(c->codePoint)) + "%3B";
            if (out.references.find(character) == std::string::npos) out.references += character;
        }
    }
    return out;
}

std::string queryAddress(int tab, std::string_view keyword) {
    return buildQuery(EngineTable::query(tab), keyword).address;
}

BuiltQuery diyAddress(std::string_view prefix, KeywordEncoding encoding, std::string_view keyword) {
    return buildQuery({std::string(prefix), {}, encoding}, keyword);
}

}  // namespace pluvik

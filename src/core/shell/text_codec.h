#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pluvik {

// The program works in UTF-8; its files on disk are GBK text. GB18030 is a superset of GBK, so it
// reads every GBK file byte for byte and can write every standard character the program holds.

// Decodes GB18030/GBK bytes to UTF-8. A byte sequence that is not valid GB18030 becomes U+FFFD and
// decoding goes on with the next byte, so one bad byte never costs the rest of the line.
std::string gbkToUtf8(std::string_view gbk);

// Encodes UTF-8 to GB18030 bytes (plain GBK for every character GBK has). A malformed UTF-8 byte
// becomes '?', and so does each of the few private-use characters (U+E78D and some others) that the
// system's GB18030 tables no longer map.
std::string utf8ToGbk(std::string_view utf8);

// One character of strict UTF-8 (shortest form, no surrogates, nothing past U+10FFFF) at `pos`.
struct Utf8Char {
    char32_t codePoint;
    std::size_t length;
};
std::optional<Utf8Char> utf8CharAt(std::string_view s, std::size_t pos);
bool isValidUtf8(std::string_view s);

// A text file a user may have written in either encoding, as UTF-8. With a UTF-8 byte-order mark
// (dropped) it is UTF-8. Without one it is UTF-8 only when it is valid UTF-8 whose every non-ASCII
// character is Chinese text (CJK characters, CJK and general punctuation, full-width forms): GBK bytes
// of Chinese text are valid UTF-8 surprisingly often (one character in six on its own), but then they
// decode to Latin, Cyrillic or other letters. Anything else is GBK, as gbkToUtf8 reads it.
std::string textFileToUtf8(std::string_view bytes);

// The text with its ASCII letters in lower case; every other byte as it is.
std::string asciiLowered(std::string_view text);

// The text without the blanks, tabs and line ends around it.
std::string_view asciiTrimmed(std::string_view text);

// The longest start of UTF-8 text of at most maxBytes bytes that ends between two characters.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

}  // namespace pluvik

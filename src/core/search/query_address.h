#pragma once

#include <string>
#include <string_view>

namespace pluvik {

// The keyword as it goes into a query address. Every byte below 0x80 stays as typed (blanks, "&",
// "#", "?", "/" and "%" included: the engines get exactly what the user typed); each non-ASCII
// character becomes its GB18030 bytes, percent-encoded with uppercase hex. For every character GBK
// has those are its GBK bytes; a character GBK lacks (an emoji) is sent as its four GB18030 bytes
// rather than dropped. A malformed UTF-8 byte goes out as "%3F" ('?').
std::string encodeKeyword(std::string_view utf8Keyword);

// Query address of built-in tab 0..20: the engine's prefix, the encoded keyword, the engine's text
// after the keyword. Throws std::out_of_range for any other tab (the user slots use diyAddress).
std::string queryAddress(int tab, std::string_view keyword);

// Query address of a user-defined engine: its prefix unchanged (it is the user's own text, an empty
// one giving the bare keyword), then the encoded keyword.
std::string diyAddress(std::string_view prefix, std::string_view keyword);

}  // namespace pluvik

#pragma once

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

}  // namespace pluvik

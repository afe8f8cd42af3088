#pragma once

#include <string>
#include <string_view>

#include "search/engine_table.h"

namespace pluvik {

struct EncodedKeyword {
    std::string text;
    std::string references;  // as BuiltQuery::references
};

// The keyword as it goes into a query address. Every byte below 0x80 stays as typed (blanks, "&",
// "#", "?", "/" and "%" included: the engines get exactly what the user typed). Each other character
// becomes its bytes in the engine's encoding, percent-encoded with uppercase hex. A character GBK
// lacks (an emoji) goes to a GBK engine as a browser's GBK form sends it: the numeric character
// reference "&#128512;", percent-encoded ("%26%23128512%3B"), and is listed in `references`. A
// malformed UTF-8 byte goes out as "%3F" ('?').
EncodedKeyword encodeKeyword(std::string_view utf8Keyword, KeywordEncoding encoding);

// Query address of a user-defined engine: its prefix unchanged (it is the user's own text, an empty
// one giving the bare keyword), then the keyword in the engine's encoding.
BuiltQuery diyAddress(std::string_view prefix, KeywordEncoding encoding, std::string_view keyword);

}  // namespace pluvik

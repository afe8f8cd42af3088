#pragma once

#include <string>
#include <string_view>

#include "search/engine_table.h"

namespace pluvik {

struct EncodedKeyword {
    std::string text;
    std::string references;  // as BuiltQuery::references
};

// The keyword as it goes into a query address, so that the engine decodes exactly what was typed.
// ASCII letters, digits and "*-._" stay as typed, as a browser's form sends them; every other ASCII
// character (blanks, controls, "%", "&", "#", "+", "?", "=", "/", ";" ...) is percent-encoded, a
// blank as "%20" (it is right in a path and a query alike). Each other character becomes its bytes
// in the engine's encoding, percent-encoded with uppercase hex. A character GBK lacks (an emoji)
// goes to a GBK engine as a browser's GBK form sends it: the numeric character reference
// "&#128512;", percent-encoded ("%26%23128512%3B"), and is listed in `references`. A malformed
// UTF-8 byte goes out as "%3F" ('?').
EncodedKeyword encodeKeyword(std::string_view utf8Keyword, KeywordEncoding encoding);

// Query address of built-in tab 0..20 (EngineTable::query). Throws std::out_of_range for any other
// tab (the user slots use diyAddress).
std::string queryAddress(int tab, std::string_view keyword);

// Query address of a user-defined engine: its prefix unchanged (it is the user's own text, an empty
// one giving the bare keyword), then the keyword in the engine's encoding.
BuiltQuery diyAddress(std::string_view prefix, KeywordEncoding encoding, std::string_view keyword);

}  // namespace pluvik

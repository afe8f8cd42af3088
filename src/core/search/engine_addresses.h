#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/engine_table.h"
#include "search/key_lines.h"

namespace pluvik {

// The optional file in the program directory that replaces whole query addresses of the catalogue,
// one "key=address [encoding]" a line (keys: engineKeys), read as readKeyLines reads it. The address
// is http:// or https://, a host and whatever follows, with "{keyword}" exactly once where the
// keyword goes; after blanks an encoding word may follow, "utf-8" or "gbk" (any case; GBK when there
// is none). A later line for the same key wins.
inline constexpr const char* kEngineAddressesFileName = "engines.txt";
inline constexpr std::string_view kKeywordPlace = "{keyword}";

struct EngineAddress {
    std::string key;
    AddressTemplate address;
};

struct EngineAddresses {
    std::vector<EngineAddress> addresses;
    // reasons: "no_equals_sign", "unknown_key", "bad_address" (not http or https, or no host),
    // "keyword_place" ({keyword} missing or more than once), "unknown_encoding" (or more words)
    std::vector<IgnoredLine> ignored;
};

EngineAddresses parseEngineAddresses(std::string_view bytes);

}  // namespace pluvik

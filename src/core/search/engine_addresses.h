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

// One value of the file, "address [encoding]": the template, or the reason it is refused (the
// reasons of EngineAddresses::ignored after "unknown_key").
struct ParsedAddress {
    std::optional<AddressTemplate> address;
    std::string reason;
};
ParsedAddress parseEngineAddress(std::string_view value);
// What is wrong with a value the user typed, in words for the user; empty for a good value.
std::string addressProblemText(std::string_view value);
// The value a line of the file holds for the address: "before{keyword}after", " utf-8" after it
// for an engine that reads UTF-8.
std::string engineLineValue(const AddressTemplate& address);

}  // namespace pluvik

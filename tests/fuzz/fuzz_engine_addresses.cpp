// The engines file reader on any bytes: every address it takes has the keyword's place once, and an
// origin the hosts reader would take; every line it skips is reported once, as valid UTF-8 of
// bounded length, with a line number inside the file; taken and skipped lines together are never
// more than the file has.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_ignored.h"
#include "search/engine_addresses.h"
#include "search/host_overrides.h"

using namespace pluvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = fuzz::lineCount(bytes);
    const EngineAddresses engines = parseEngineAddresses(bytes);
    FUZZ_CHECK(engines.addresses.size() + engines.ignored.size() <= lines);
    for (const EngineAddress& e : engines.addresses) {
        FUZZ_CHECK(isEngineKey(e.key));
        // Each side on its own: "{key{keyword}word}" holds the place once, and its sides joined
        // spell it again.
        FUZZ_CHECK(e.address.before.find(kKeywordPlace) == std::string::npos &&
                   e.address.after.find(kKeywordPlace) == std::string::npos);
        const std::string_view before = e.address.before;
        const std::size_t authority = before.find("://") + 3;
        FUZZ_CHECK(normaliseOrigin(before.substr(0, before.find_first_of("/?#", authority))).has_value());
    }
    fuzz::checkIgnored(engines.ignored, lines,
                       {"no_equals_sign", "unknown_key", "bad_address", "keyword_place", "unknown_encoding"});
    return 0;
}

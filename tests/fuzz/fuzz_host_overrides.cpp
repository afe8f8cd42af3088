// The hosts file reader on any bytes: every address it takes is an origin it would take again
// unchanged, with nothing after the authority; every line it skips is reported once, as valid UTF-8
// of bounded length, with a line number inside the file; taken and skipped lines together are never
// more than the file has.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_ignored.h"
#include "search/host_overrides.h"

using namespace pluvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = fuzz::lineCount(bytes);
    const HostOverrides result = parseHostOverrides(bytes);
    FUZZ_CHECK(result.overrides.size() + result.ignored.size() <= lines);
    for (const HostOverride& o : result.overrides) {
        FUZZ_CHECK(!serviceKey(o.service).empty());
        FUZZ_CHECK(normaliseOrigin(o.origin) == o.origin);
        const std::string_view rest = std::string_view(o.origin).substr(o.origin.find("://") + 3);
        FUZZ_CHECK(rest.find_first_of("/?#@ \t\r\n") == std::string_view::npos);
    }
    fuzz::checkIgnored(result.ignored, lines, {"no_equals_sign", "unknown_key", "bad_address"});
    return 0;
}

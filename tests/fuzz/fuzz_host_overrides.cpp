// The hosts file and engines file readers on any bytes: every address the hosts reader takes is an
// origin it would take again unchanged, with nothing after the authority; every address the engines
// reader takes has the keyword's place once, and an origin the hosts reader would take; every line
// either skips is reported once, as valid UTF-8 of bounded length, with a line number inside the
// file; taken and skipped lines together are never more than the file has.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "search/engine_addresses.h"
#include "search/host_overrides.h"

using namespace pluvik;

namespace {

void checkIgnored(const std::vector<IgnoredLine>& ignored, std::size_t lineCount,
                  std::initializer_list<std::string_view> reasons) {
    int previous = 0;
    for (const IgnoredLine& line : ignored) {
        FUZZ_CHECK(line.line > previous && static_cast<std::size_t>(line.line) <= lineCount);
        previous = line.line;
        FUZZ_CHECK(line.text.size() <= 200);
        FUZZ_CHECK(fuzz::isValidUtf8(line.text));
        FUZZ_CHECK(std::find(reasons.begin(), reasons.end(), line.reason) != reasons.end());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t lineCount = 1;
    for (char c : bytes) lineCount += c == '\n' ? 1 : 0;

    const HostOverrides result = parseHostOverrides(bytes);
    FUZZ_CHECK(result.overrides.size() + result.ignored.size() <= lineCount);
    for (const HostOverride& o : result.overrides) {
        FUZZ_CHECK(!serviceKey(o.service).empty());
        FUZZ_CHECK(normaliseOrigin(o.origin) == o.origin);
        const std::string_view rest = std::string_view(o.origin).substr(o.origin.find("://") + 3);
        FUZZ_CHECK(rest.find_first_of("/?#@ \t\r\n") == std::string_view::npos);
    }
    checkIgnored(result.ignored, lineCount, {"no_equals_sign", "unknown_key", "bad_address"});

    const EngineAddresses engines = parseEngineAddresses(bytes);
    FUZZ_CHECK(engines.addresses.size() + engines.ignored.size() <= lineCount);
    for (const EngineAddress& e : engines.addresses) {
        FUZZ_CHECK(isEngineKey(e.key));
        FUZZ_CHECK((e.address.before + e.address.after).find(kKeywordPlace) == std::string::npos);
        const std::string_view before = e.address.before;
        const std::size_t authority = before.find("://") + 3;
        FUZZ_CHECK(normaliseOrigin(before.substr(0, before.find_first_of("/?#", authority))).has_value());
    }
    checkIgnored(engines.ignored, lineCount,
                 {"no_equals_sign", "unknown_key", "bad_address", "keyword_place", "unknown_encoding"});
    return 0;
}

// The update server's engines list on any bytes: a list taken has a version of numbers and dots and
// only addresses the engines file takes, and survives being kept as the program's record; a refused
// one says why. The list's address named in a description is always a web address without blanks.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "update/engine_list.h"

using namespace pluvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto address = engineListAddress(bytes, "http://update.example/dir/up.txt")) {
        FUZZ_CHECK(address->starts_with("http") && address->find("://") != std::string::npos);
        for (const unsigned char c : *address) FUZZ_CHECK(c > ' ' && c != 0x7f);
    }

    const ParsedEngineList parsed = parseEngineList(bytes);
    FUZZ_CHECK(parsed.list.has_value() == parsed.reason.empty());
    if (!parsed.list) return 0;
    const EngineList& list = *parsed.list;
    FUZZ_CHECK(!list.version.empty() && list.version.front() != '.' && list.version.back() != '.');
    FUZZ_CHECK(list.version.find_first_not_of("0123456789.") == std::string::npos);
    FUZZ_CHECK(compareListVersions(list.version, list.version) == 0 && compareListVersions(list.version, "") == 1);
    for (const EngineAddress& e : list.addresses) FUZZ_CHECK(isEngineKey(e.key));
    return 0;
}

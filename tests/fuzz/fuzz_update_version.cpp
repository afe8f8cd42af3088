// The version line of "update.txt" as a server may send it, and the installed version as "up.ini"
// may hold it: the first line ends at the first carriage return, a version reads as a number
// (never NaN), and the comparison is a consistent order.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "update/update_check.h"
#include "update/version_number.h"

using namespace pluvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::string installed = in.takeString(64);
    const std::string text = in.rest();

    const std::string_view line = firstLine(text);
    FUZZ_CHECK(line.find('\r') == std::string_view::npos);
    FUZZ_CHECK(text.substr(0, line.size()) == line);
    FUZZ_CHECK(line.size() == text.size() || text[line.size()] == '\r');

    const double latest = versionNumber(line);
    FUZZ_CHECK(!std::isnan(latest));
    const double mine = versionNumber(installed);
    FUZZ_CHECK(!std::isnan(mine));

    const VersionOrder forward = compareVersions(installed, line);
    const VersionOrder backward = compareVersions(line, installed);
    FUZZ_CHECK((forward == VersionOrder::Older) == (backward == VersionOrder::Newer));
    FUZZ_CHECK((forward == VersionOrder::Same) == (backward == VersionOrder::Same));
    FUZZ_CHECK(compareVersions(line, line) == VersionOrder::Same);
    FUZZ_CHECK((forward == VersionOrder::Older) == (mine < latest));
    return 0;
}

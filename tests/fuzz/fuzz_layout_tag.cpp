// The layout tag reader on any tag text, and the tag writer on any geometry: reading never fails and
// gives finite numbers only; a tag written from a geometry reads back as that geometry (to single
// precision, as the window reports it).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "shell/moveform.h"

using namespace pluvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    double geometry[4];
    for (double& v : geometry) v = in.takeDouble();
    const std::string tag = in.rest();

    const LayoutTagNumbers read = readLayoutTag(tag);
    FUZZ_CHECK(read.parsed >= 0 && read.parsed <= 5);
    for (double v : read.value) FUZZ_CHECK(std::isfinite(v));

    // Geometry a window can have: twips of a screen, within single precision.
    bool plausible = true;
    for (double v : geometry) plausible = plausible && std::isfinite(v) && std::fabs(v) < 1e7;
    const std::string written = layoutTag(geometry[0], geometry[1], geometry[2], geometry[3]);
    if (plausible) {
        const LayoutTagNumbers back = readLayoutTag(written);
        FUZZ_CHECK(back.parsed == 4);
        for (int k = 0; k < 4; ++k) {
            FUZZ_CHECK(static_cast<float>(back.value[k]) == static_cast<float>(geometry[k]));
        }
        FUZZ_CHECK(back.value[4] == 0);
    }
    return 0;
}

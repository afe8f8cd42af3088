#include "browse/download_rules.h"

#include <algorithm>

#include "update/format_bytes.h"

namespace pluvik {

std::string partialDownloadPath(const std::string& finalPath, const std::function<bool(const std::string&)>& taken) {
    std::string candidate = finalPath + ".part";
    // Bounded, so a folder full of leftovers cannot keep us here; past the bound the last candidate
    // is used and the download overwrites only a leftover of an earlier download.
    for (int n = 2; n < 1000 && taken(candidate); ++n)
        candidate = finalPath + " (" + std::to_string(n) + ").part";
    return candidate;
}

std::string downloadProgressText(std::int64_t received, std::int64_t total) {
    received = std::max<std::int64_t>(0, received);
    if (total <= 0) return shortByteSize(received);
    // Cut off, not rounded: 100% only once every byte is in. The product fits in 128 bits.
    __extension__ using Wide = __int128;
    const auto percent = received >= total ? 100 : static_cast<int>(static_cast<Wide>(received) * 100 / total);
    return shortByteSize(received) + " / " + shortByteSize(total) + " (" + std::to_string(percent) + "%)";
}

}  // namespace pluvik

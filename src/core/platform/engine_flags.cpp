#include "platform/engine_flags.h"

#include <cstdlib>

namespace pluvik {

std::string engineFlags(const char* userFlags) {
    std::string flags(userFlags ? userFlags : "--renderer-process-limit=4");
    if (flags.find("--lang=") == std::string::npos) flags += " --lang=zh-CN";
    if (flags.find(kFrozenPurgeFeature) == std::string::npos) {
        const std::string feature =
            std::string(kFrozenPurgeFeature) + ":delay-in-minutes/" + std::to_string(kFrozenPurgeDelayMinutes);
        // The engine takes the last of several --enable-features, so the user's list is extended.
        constexpr std::string_view kEnable = "--enable-features=";
        const std::size_t at = flags.rfind(kEnable);
        if (at == std::string::npos) {
            flags += " " + std::string(kEnable) + feature;
        } else {
            std::size_t end = flags.find_first_of(" \t", at);
            if (end == std::string::npos) end = flags.size();
            const bool empty = end == at + kEnable.size();
            flags.insert(end, empty ? feature : "," + feature);
        }
    }
    const std::size_t first = flags.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : flags.substr(first);
}

void applyEngineFlags() {
    constexpr const char* kVariable = "QTWEBENGINE_CHROMIUM_FLAGS";
    ::setenv(kVariable, engineFlags(std::getenv(kVariable)).c_str(), 1);
}

}  // namespace pluvik

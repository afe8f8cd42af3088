#include "platform/render_path.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "shell/file_io.h"
#include "shell/text_codec.h"

namespace pluvik {

namespace {

// Mesa's CPU renderers (Gallium llvmpipe and softpipe, the classic swrast, "Software Rasterizer"),
// and the CPU renderers Chromium and Windows ship.
constexpr std::array<std::string_view, 6> kSoftwareRenderers{
    "llvmpipe", "softpipe", "swrast", "software rasterizer", "swiftshader", "basic render driver"};

}  // namespace

bool isSoftwareGlRenderer(std::string_view glRenderer) {
    const std::string name = asciiLowered(glRenderer);
    return std::any_of(kSoftwareRenderers.begin(), kSoftwareRenderers.end(),
                       [&](std::string_view s) { return name.find(s) != std::string::npos; });
}

RenderChoice chooseRenderPath(const std::optional<std::string>& glRenderer, std::string_view override) {
    const std::string forced = asciiLowered(override);
    if (forced == "software") return {RenderPath::Software, "forced"};
    if (!glRenderer) return {RenderPath::Software, forced == "gl" ? "forced_gl_but_no_gl" : "no_gl"};
    if (forced == "gl") return {RenderPath::Gl, "forced"};
    const std::string unknown = forced.empty() ? "" : "_unknown_override";
    if (isSoftwareGlRenderer(*glRenderer)) return {RenderPath::Software, "software_gl" + unknown};
    return {RenderPath::Gl, "hardware_gl" + unknown};
}

std::optional<int> animationFpsOverride(std::string_view override) {
    int fps = 0;
    bool number = !override.empty() && override.size() <= 4;
    for (char c : override) {
        number = number && std::isdigit(static_cast<unsigned char>(c));
        if (number) fps = fps * 10 + (c - '0');
    }
    if (number && fps <= 1000) return fps;
    return std::nullopt;
}

int chooseAnimationFps(RenderPath path, std::string_view override, AnimationChoice choice, bool onBattery) {
    if (const std::optional<int> fps = animationFpsOverride(override)) return *fps;
    if (choice == AnimationChoice::Smooth) return 0;
    if (choice == AnimationChoice::Saver || onBattery) return kSaverAnimationFps;
    return path == RenderPath::Software ? kStandardAnimationFps : 0;
}

const char* animationChoiceName(AnimationChoice choice) {
    switch (choice) {
        case AnimationChoice::Smooth:
            return "smooth";
        case AnimationChoice::Saver:
            return "saver";
        case AnimationChoice::Standard:
            break;
    }
    return "standard";
}

std::optional<AnimationChoice> parseAnimationChoice(std::string_view bytes) {
    const std::string word = asciiLowered(asciiTrimmed(bytes));
    for (AnimationChoice c : {AnimationChoice::Smooth, AnimationChoice::Standard, AnimationChoice::Saver})
        if (word == animationChoiceName(c)) return c;
    return std::nullopt;
}

bool runsOnBattery(const std::filesystem::path& powerSupplies) {
    std::error_code error;
    std::filesystem::directory_iterator it(powerSupplies, error);
    if (error) return false;
    bool discharging = false;
    for (const std::filesystem::directory_entry& supply : it) {
        const auto value = [&](const char* name) {
            return asciiLowered(asciiTrimmed(readFileBytes(supply.path() / name).value_or("")));
        };
        if (value("type") == "battery") {
            discharging = discharging || (value("scope") != "device" && value("status") == "discharging");
        } else if (value("online") == "1") {
            return false;
        }
    }
    return discharging;
}

const char* renderPathName(RenderPath path) {
    return path == RenderPath::Gl ? "gl" : "software";
}

}  // namespace pluvik

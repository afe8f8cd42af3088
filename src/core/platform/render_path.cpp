#include "platform/render_path.h"

#include <algorithm>
#include <array>
#include <cctype>

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

int chooseAnimationFps(RenderPath path, std::string_view override) {
    int fps = 0;
    bool number = !override.empty() && override.size() <= 4;
    for (char c : override) {
        number = number && std::isdigit(static_cast<unsigned char>(c));
        if (number) fps = fps * 10 + (c - '0');
    }
    if (number && fps <= 1000) return fps;
    return path == RenderPath::Software ? kSoftwareAnimationFps : 0;
}

const char* renderPathName(RenderPath path) {
    return path == RenderPath::Gl ? "gl" : "software";
}

}  // namespace pluvik

#include "platform/render_path.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(RenderPath, SoftwareGlOrNoGlTakesSoftwareHardwareKeepsGlAndTheUserCanForceEither) {
    struct Case {
        std::optional<std::string> renderer;
        const char* override;
        RenderPath path;
        const char* reason;
    };
    const Case cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", "", RenderPath::Software, "software_gl"},
        {"softpipe", "", RenderPath::Software, "software_gl"},
        {"Software Rasterizer", "", RenderPath::Software, "software_gl"},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "", RenderPath::Gl, "hardware_gl"},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", "", RenderPath::Gl, "hardware_gl"},
        {std::nullopt, "", RenderPath::Software, "no_gl"},
        {"llvmpipe (LLVM 15.0.6, 256 bits)", "GL", RenderPath::Gl, "forced"},
        {"AMD Radeon RX 580", "software", RenderPath::Software, "forced"},
        {std::nullopt, "gl", RenderPath::Software, "forced_gl_but_no_gl"},
        {"AMD Radeon RX 580", "vulkan", RenderPath::Gl, "hardware_gl_unknown_override"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.renderer.value_or("(no GL)") + " / " + c.override);
        const RenderChoice choice = chooseRenderPath(c.renderer, c.override);
        EXPECT_EQ(choice.path, c.path);
        EXPECT_EQ(choice.reason, c.reason);
    }
}

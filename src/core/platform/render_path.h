#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pluvik {

// How pages reach the screen. Gl: Qt Quick over OpenGL and the engine's GPU compositing, fast where
// the GL driver is hardware. Software: Qt Quick's software renderer, so the engine composites in
// software too; cheap where GL is itself software (llvmpipe and the like), where GL would only add
// a second rasterisation and a read-back of every frame, and the only path that works without GL.
enum class RenderPath { Gl, Software };

// The environment variable a user sets to force a path: "software" or "gl".
inline constexpr const char* kRenderPathVariable = "PLUVIK_RENDER";

struct RenderChoice {
    RenderPath path;
    std::string reason;  // a short English word for the trace: forced, software_gl, hardware_gl, no_gl, ...
};

// glRenderer is GL_RENDERER of a context the program could make, none when GL did not start; override
// is the value of PLUVIK_RENDER (empty when unset). A forced "gl" without any GL still takes software,
// because pages on a GL path without GL stay black.
RenderChoice chooseRenderPath(const std::optional<std::string>& glRenderer, std::string_view override);

// Whether a GL_RENDERER string names a renderer that runs on the CPU.
bool isSoftwareGlRenderer(std::string_view glRenderer);

const char* renderPathName(RenderPath path);

}  // namespace pluvik

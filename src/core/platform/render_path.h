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
    std::string reason;    // a short English word for the trace: forced, software_gl, hardware_gl, no_gl, ...
    int animationFps = 0;  // chooseAnimationFps of the path, filled in by the program at start
};

// glRenderer is GL_RENDERER of a context the program could make, none when GL did not start; override
// is the value of PLUVIK_RENDER (empty when unset). A forced "gl" without any GL still takes software,
// because pages on a GL path without GL stay black.
RenderChoice chooseRenderPath(const std::optional<std::string>& glRenderer, std::string_view override);

// The environment variable a user sets for the frame rate of pages' own animations: a whole number of
// frames a second, 0 for every frame the engine draws.
inline constexpr const char* kAnimationFpsVariable = "PLUVIK_ANIMATION_FPS";

// Frames a second of a page's own animation (an advertisement, a spinner, an animated picture) on
// the software path, where each frame is copied whole on the CPU several times on its way to the
// screen: a tenth of a second a frame, as most animated pictures are made and as a spinner still
// reads as turning, where the engine would draw sixty.
inline constexpr int kSoftwareAnimationFps = 10;

// The frame rate of pages' own animations on path: override (the value of PLUVIK_ANIMATION_FPS)
// when it is a whole number from 0 to 1000, else kSoftwareAnimationFps on the software path and
// every frame (0) on GL, where the GPU does the copying.
int chooseAnimationFps(RenderPath path, std::string_view override);

// Whether a GL_RENDERER string names a renderer that runs on the CPU.
bool isSoftwareGlRenderer(std::string_view glRenderer);

const char* renderPathName(RenderPath path);

}  // namespace pluvik

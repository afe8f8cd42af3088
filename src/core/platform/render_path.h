#pragma once

#include <filesystem>
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
};

// glRenderer is GL_RENDERER of a context the program could make, none when GL did not start; override
// is the value of PLUVIK_RENDER (empty when unset). A forced "gl" without any GL still takes software,
// because pages on a GL path without GL stay black.
RenderChoice chooseRenderPath(const std::optional<std::string>& glRenderer, std::string_view override);

// The environment variable a user sets for the frame rate of pages' own animations: a whole number of
// frames a second, 0 for every frame the engine draws.
inline constexpr const char* kAnimationFpsVariable = "PLUVIK_ANIMATION_FPS";

// How calm a page's own animation (an advertisement, a spinner, an animated picture) is shown, as
// the user chooses in the options dialog: Smooth (流畅) every frame the engine draws, Standard (标准)
// a calm rate where each frame is copied whole on the CPU (the software path) and every frame on GL,
// Saver (省电) a slow rate on either path. A playing video and the user's own work with a page always
// get every frame.
enum class AnimationChoice { Smooth, Standard, Saver };

// Standard on the software path: the rate browsers keep in their own power-saving modes, which still
// reads as motion, where the engine would draw sixty.
inline constexpr int kStandardAnimationFps = 30;
// Saver, and Standard while the machine runs on battery: a tenth of a second a frame, as most
// animated pictures are made and as a spinner still reads as turning.
inline constexpr int kSaverAnimationFps = 10;

// The value of PLUVIK_ANIMATION_FPS when it is a whole number from 0 to 1000, which then wins over
// every choice; none otherwise (unset, or not such a number).
std::optional<int> animationFpsOverride(std::string_view override);

// The frame rate of pages' own animations, 0 for every frame: override (the value of
// PLUVIK_ANIMATION_FPS) when animationFpsOverride takes it, otherwise what choice gives on path;
// on battery Standard behaves as Saver.
int chooseAnimationFps(RenderPath path, std::string_view override,
                       AnimationChoice choice = AnimationChoice::Standard, bool onBattery = false);

// The word a choice is kept as in its file ("smooth", "standard", "saver"), and back: a file's bytes
// (blanks, a line end and letter case aside) give their choice, anything else none.
const char* animationChoiceName(AnimationChoice choice);
std::optional<AnimationChoice> parseAnimationChoice(std::string_view bytes);

// Whether the machine runs on battery, read from a directory laid out as /sys/class/power_supply
// (one folder per supply, with "type", "online", "status", "scope" files): a battery of the system
// (not a device's, such as a wireless mouse's) is discharging and no mains, USB or other outside
// supply is online. A missing or unreadable directory reads as mains: a desktop without supplies.
bool runsOnBattery(const std::filesystem::path& powerSupplies);

// Whether a GL_RENDERER string names a renderer that runs on the CPU.
bool isSoftwareGlRenderer(std::string_view glRenderer);

const char* renderPathName(RenderPath path);

}  // namespace pluvik

#pragma once

#include "platform/render_path.h"

namespace pluvik {

class Trace;

// Chooses how pages reach the screen (core's chooseRenderPath over this machine's GL renderer and
// PLUVIK_RENDER), applies it, takes the frame rate of pages' own animations on that path
// (chooseAnimationFps over PLUVIK_ANIMATION_FPS) and notes both in the trace as "render_path". Must run once
// the QApplication exists and before the first browser view: Qt Quick takes its graphics API when its first
// window is made, and the engine reads it when it starts.
RenderChoice applyRenderPath(Trace& trace);

}  // namespace pluvik

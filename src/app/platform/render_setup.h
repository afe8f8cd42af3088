#pragma once

#include "platform/render_path.h"

namespace pluvik {

class Trace;

// Chooses how pages reach the screen (core's chooseRenderPath over this machine's GL renderer and
// PLUVIK_RENDER), applies it and notes it in the trace as "render_path" (the rate of pages' own
// animations on that path is AnimationRate's, traced as "animation_rate"). Must run once
// the QApplication exists and before the first browser view: Qt Quick takes its graphics API when its first
// window is made, and the engine reads it when it starts.
RenderChoice applyRenderPath(Trace& trace);

}  // namespace pluvik

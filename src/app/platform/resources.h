#pragma once

namespace pluvik {

// The pictures are compiled into the app library; a static library's resources must be registered
// before first use. Safe to call more than once.
void initAppResources();

}  // namespace pluvik

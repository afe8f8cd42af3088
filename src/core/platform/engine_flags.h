#pragma once

#include <string>
#include <string_view>

namespace pluvik {

// The engine feature that lets a renderer process keep its caches while the user searches on: by
// default the engine drops them (a critical memory-pressure purge) as soon as one page of a process
// in the background is frozen, which a search does to every hidden tab whose page has loaded, so
// the next search would load with cold caches, and pages still loading in that process lose theirs
// mid-load. With it, a process purges once all its pages are frozen and have stayed so for the
// delay; a search before then, which wakes them, cancels the purge. Ten minutes: longer than the
// user reads one search's pages, and a purge gives little back (bench/memory shows the program's
// memory the same 5 s after its loads whether the purge came or not).
inline constexpr std::string_view kFrozenPurgeFeature = "FreezePurgeMemoryAllPagesFrozen";
inline constexpr int kFrozenPurgeDelayMinutes = 10;

// The engine's command line (QTWEBENGINE_CHROMIUM_FLAGS) the program runs with, from the user's
// flags (null when the variable is unset, as getenv gives it): four renderer processes for all pages
// unless the user sets flags of their own, the language zh-CN unless the user names one, and the
// purge above unless the user's flags name the feature (to switch it off, say); it joins a list of
// features the user enables rather than replacing it.
std::string engineFlags(const char* userFlags);

// Sets QTWEBENGINE_CHROMIUM_FLAGS to engineFlags of its value, before the engine starts.
void applyEngineFlags();

}  // namespace pluvik

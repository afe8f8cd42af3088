#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/settings.h"

namespace pluvik {

// An on/off field of the settings (an engine's, opendiy1, opendiy2): 0 is off and 1 is on. Any
// other value, from a hand-edited file, is held: its tab stays as it is, its box in the options
// shows neither state, and the value is written back unchanged.
enum class Switch { Off, On, Held };
constexpr Switch switchValue(std::int16_t value) {
    return value == 0 ? Switch::Off : value == 1 ? Switch::On : Switch::Held;
}
// The on/off field of result tab 0..22 (opendiy1 is tab 21, opendiy2 tab 22).
std::int16_t tabSwitch(const Settings& settings, int tab);

// One change the options dialog makes to the main window's result tabs.
struct TabOp {
    enum Kind { Hide, Show, SetCaption };
    Kind kind;
    int tab;
    std::string caption;  // SetCaption only

    friend bool operator==(const TabOp&, const TabOp&) = default;
};

// What "应用" or "确定" does to the result tabs, in the order it is to be done.
struct TabPlan {
    std::vector<TabOp> ops;
    // Set when the choices would have left no tab visible: `keptTab` stays (or becomes) visible
    // although its box is unchecked, and the user is to be told.
    bool keptLastTab = false;
    int keptTab = -1;
};

// "应用": hide the unchecked engine tabs 0..20 in order, then show the checked ones. The user-defined
// tabs 21 and 22 and their names are left alone. Only 0 hides and only 1 shows: any other value (a
// hand-edited file) leaves its tab as it is.
// `visible` is the main window's tab visibility before the change (a missing entry counts as hidden);
// it decides whether the plan would leave the window without a visible tab.
TabPlan applyOps(const Settings& settings, const std::vector<bool>& visible);

// "确定": hide every unchecked tab of the 23 (opendiy1 is tab 21, opendiy2 tab 22), show the checked
// engine tabs, then for opendiy1 and opendiy2 (in that order) when checked show the tab and give it
// the engine's name as its caption.
TabPlan okOps(const Settings& settings, const std::vector<bool>& visible);

}  // namespace pluvik

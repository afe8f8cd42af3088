#pragma once

#include <functional>
#include <initializer_list>

class QMenu;
class QObject;

namespace pluvik {

// One line of a menu: an action with its designer name, its text (UTF-8), its shortcut and what it
// does, or a separator when it has no text (a separator may still carry a designer name).
struct MenuEntry {
    const char* name;
    const char* text = nullptr;
    const char* shortcut = nullptr;
    std::function<void()> run = {};
};

// Fills `menu` with `entries` in order. Each command runs for as long as `receiver` lives. A
// shortcut works wherever the focus is in the menu's window.
void addMenuEntries(QMenu* menu, QObject* receiver, std::initializer_list<MenuEntry> entries);

}  // namespace pluvik

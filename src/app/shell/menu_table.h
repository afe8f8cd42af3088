#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>

class QMainWindow;
class QMenu;

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

// The shortcuts of `window`'s menu bar come before a text box's or a page's own keys (Ctrl+X, Ctrl+A,
// Ctrl+Z, Ctrl+E, Ctrl+U ...) wherever the focus is in the window. Shortcut overrides go to whichever
// widget has the focus, a result page's inner widget among them: only an application-wide filter
// sees them all, so this one watches the application for as long as it lives.
class MenuShortcutsFirst : public QObject {
public:
    explicit MenuShortcutsFirst(QMainWindow* window);
    ~MenuShortcutsFirst() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow* m_window;
};

}  // namespace pluvik

#include "shell/menu_table.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace pluvik {

void addMenuEntries(QMenu* menu, QObject* receiver, std::initializer_list<MenuEntry> entries) {
    for (const MenuEntry& entry : entries) {
        QAction* action = entry.text ? menu->addAction(QString::fromUtf8(entry.text)) : menu->addSeparator();
        if (entry.name) action->setObjectName(QLatin1String(entry.name));
        if (entry.shortcut) {
            action->setShortcut(QKeySequence(QLatin1String(entry.shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (entry.run) QObject::connect(action, &QAction::triggered, receiver, entry.run);
    }
}

MenuShortcutsFirst::MenuShortcutsFirst(QMainWindow* window) : m_window(window) {
    qApp->installEventFilter(this);
}

MenuShortcutsFirst::~MenuShortcutsFirst() {
    qApp->removeEventFilter(this);
}

bool MenuShortcutsFirst::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    for (QAction* action : m_window->menuBar()->findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed && action->isEnabled()) {
            // The keyword box keeps cut, select-all and undo in its context menu.
            event->ignore();
            return true;
        }
    }
    return false;
}

}  // namespace pluvik

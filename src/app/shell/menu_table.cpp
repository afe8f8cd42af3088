#include "shell/menu_table.h"

#include <QAction>
#include <QMenu>

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

}  // namespace pluvik

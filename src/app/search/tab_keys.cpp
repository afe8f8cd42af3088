#include "search/tab_keys.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>

#include "search/tab_commands.h"
#include "shell/tab_strip.h"

namespace pluvik {

TabKeys::TabKeys(QWidget* window, TabStrip* strip, QMenu* menu)
    : QObject(strip), m_strip(strip), m_menu(menu) {
    auto bind = [this, window](const QKeySequence& keys, TabStep step) {
        auto* shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            m_strip->edit([step](TabStripModel& tabs) { return stepCurrentTab(tabs, step); });
        });
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_Tab), TabStep::Next);
    bind(QKeySequence(Qt::CTRL | Qt::Key_PageDown), TabStep::Next);
    // A shifted Tab arrives as Backtab; the shortcut map tries it as Shift+Tab as well.
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), TabStep::Previous);
    bind(QKeySequence(Qt::CTRL | Qt::Key_PageUp), TabStep::Previous);

    // Reached with the Tab key; a click on a tab leaves the focus where it was (in the keyword box,
    // ready for the next keyword), as tab bars do.
    strip->setFocusPolicy(Qt::TabFocus);
    strip->installEventFilter(this);
}

void TabKeys::popupMenu() {
    const QRect tab = m_strip->tabRect(m_strip->current());
    m_menu->popup(m_strip->mapToGlobal(tab.isEmpty() ? QPoint(0, 0) : tab.bottomLeft()));
}

bool TabKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_strip) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (key->key() == Qt::Key_Menu || shiftF10) {
            popupMenu();
            return true;
        }
        // Left and Right on the focused strip go to the previous and next visible tab.
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
            const TabStep step = key->key() == Qt::Key_Left ? TabStep::Previous : TabStep::Next;
            m_strip->edit([step](TabStripModel& tabs) { return stepCurrentTab(tabs, step); });
            return true;
        }
    }
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        popupMenu();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pluvik

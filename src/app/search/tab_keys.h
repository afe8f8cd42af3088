#pragma once

#include <QObject>

class QMenu;
class QWidget;

namespace pluvik {

class TabStrip;

// The tab strip by keyboard, in the main window and in the secondary window alike: Ctrl+Tab and
// Ctrl+PageDown make the next visible tab current, Ctrl+Shift+Tab and Ctrl+PageUp the previous one,
// wherever the focus is in `window`; Left and Right on the strip step the same way; Shift+F10 or the
// Menu key on the strip (which takes the focus with the Tab key) opens `menu` below the current tab, as a
// right click does.
class TabKeys : public QObject {
    Q_OBJECT
public:
    TabKeys(QWidget* window, TabStrip* strip, QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void popupMenu();

    TabStrip* m_strip;
    QMenu* m_menu;
};

}  // namespace pluvik

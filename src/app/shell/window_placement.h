#pragma once

#include <QObject>
#include <QPointer>

class QScreen;
class QWidget;

namespace pluvik {

// Where a window of the program goes when it first appears: wholly inside the work area (the screen
// less the panels) of the screen the main window is on, frame and title bar included, so it can
// always be seen, moved and closed. A window the program has put somewhere (a dialog over its owner)
// moves in only as far as it must; the others are centred. The secondary browser window fills the
// work area instead.
enum class Placement { Inside, Fill };
void setPlacement(QWidget* window, Placement placement);

// Makes the frame of `window`, as far as it is known, fill the work area of its screen (before it is
// shown, so that its controls are laid out at the size it will have).
void fillWorkArea(QWidget* window);

// The frame a window manager draws is known only once the window is on the screen, and may come
// later still: the window is placed when it is shown, with the frame of a window already on the
// screen as the guess, and again with its own frame when it is first drawn and whenever the frame
// changes. One for the whole program, made before any window.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    explicit WindowPlacement(QObject* parent = nullptr);
    // The window whose screen the others open on, and whose frame is the guess for theirs.
    void setMainWindow(QWidget* mainWindow);

    // Places `window` now, as it is placed when it is shown.
    void place(QWidget* window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScreen* screenFor(const QWidget* window) const;

    QPointer<QWidget> m_main;
};

}  // namespace pluvik

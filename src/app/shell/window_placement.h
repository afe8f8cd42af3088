#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <cstdint>

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
// changes. On X11 the frame is what the window manager reports in _NET_FRAME_EXTENTS, which may
// change after the window's last move or exposure (a fixed-size main window has no resize handle,
// so its frame is the wrong guess for a resizable one): every report is followed, however late.
// One for the whole program, made before any window.
class WindowPlacement : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit WindowPlacement(QObject* parent = nullptr);
    // The window whose screen the others open on, and whose frame is the guess for theirs.
    void setMainWindow(QWidget* mainWindow);

    // Places `window` now, as it is placed when it is shown.
    void place(QWidget* window) const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScreen* screenFor(const QWidget* window) const;
    // Places `window` again when its frame is not the one it was last placed with.
    void followFrame(QWidget* window) const;

    QPointer<QWidget> m_main;
    std::uint32_t m_frameExtentsAtom = 0;  // 0: not on X11
};

}  // namespace pluvik

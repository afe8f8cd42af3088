#include "shell/window_placement.h"

#include <xcb/xcb.h>
#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

#include "shell/window_fit.h"

namespace pluvik {

namespace {

constexpr char kPlacementProperty[] = "pluvikPlacement";
// Set once the window has been placed with the frame the window manager really drew.
constexpr char kPlacedProperty[] = "pluvikPlacedFrame";
// On a platform window whose exposure and moves are watched.
constexpr char kWatchedProperty[] = "pluvikWatched";

QWidget* widgetOf(const QWindow* handle) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowHandle() == handle) return w;
    }
    return nullptr;
}

DesktopRect toDesktop(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

FrameMargins marginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

bool hasFrame(const FrameMargins& m) {
    return m != FrameMargins{};
}

QVariant marginsVariant(const FrameMargins& m) {
    return QList<QVariant>{m.left, m.top, m.right, m.bottom};
}

// Windows that are the program's own: not menus, tooltips, the drop-down lists of boxes.
bool placeable(const QWidget* widget) {
    if (!widget->isWindow()) return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

Placement placementOf(const QWidget* window) {
    return window->property(kPlacementProperty).toInt() == static_cast<int>(Placement::Fill)
               ? Placement::Fill
               : Placement::Inside;
}

}  // namespace

void setPlacement(QWidget* window, Placement placement) {
    window->setProperty(kPlacementProperty, static_cast<int>(placement));
}

WindowPlacement::WindowPlacement(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    // Only the X11 platform itself has a window manager to ask (the offscreen one answers too).
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection()) return;
    xcb_connection_t* connection = x11->connection();
    static constexpr char kName[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
    if (!reply) return;
    m_frameExtentsAtom = reply->atom;
    std::free(reply);
    qApp->installNativeEventFilter(this);
}

bool WindowPlacement::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    if (change->atom != m_frameExtentsAtom) return false;
    // Qt takes in the new extents only after this filter: follow them once it has.
    const WId id = change->window;
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->internalWinId() == id) followFrame(w);
            }
        },
        Qt::QueuedConnection);
    return false;
}

void WindowPlacement::setMainWindow(QWidget* mainWindow) {
    m_main = mainWindow;
}

void fillWorkArea(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        const DesktopRect inner = innerFilling(toDesktop(screen->availableGeometry()), marginsOf(*window));
        window->setGeometry(inner.x, inner.y, inner.width, inner.height);
    }
}

QScreen* WindowPlacement::screenFor(const QWidget* window) const {
    if (const QWidget* owner = window->parentWidget()) return owner->window()->screen();
    if (m_main && m_main != window && m_main->isVisible()) return m_main->screen();
    return window->screen();
}

void WindowPlacement::place(QWidget* window) const {
    QScreen* screen = screenFor(window);
    if (!screen) return;
    const DesktopRect work = toDesktop(screen->availableGeometry());
    FrameMargins margins = marginsOf(*window);
    // Not yet framed: the main window's frame is what the window manager will draw.
    if (!hasFrame(margins) && m_main && m_main != window && m_main->isVisible()) margins = marginsOf(*m_main);
    DesktopRect inner;
    if (placementOf(window) == Placement::Fill) {
        inner = innerFilling(work, margins);
    } else if (window->testAttribute(Qt::WA_Moved)) {
        inner = innerInside(toDesktop(window->geometry()), margins, work);
    } else {
        inner = innerCentred(window->width(), window->height(), margins, work);
    }
    const QRect target(inner.x, inner.y, inner.width, inner.height);
    if (window->geometry() != target) window->setGeometry(target);
}

void WindowPlacement::followFrame(QWidget* widget) const {
    const QWindow* handle = widget->windowHandle();
    if (!handle || !widget->isVisible() || !handle->isExposed() || !placeable(widget)) return;
    // A maximised or minimised window is the window manager's to place.
    if (widget->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
    const FrameMargins margins = marginsOf(*widget);
    if (!hasFrame(margins)) return;
    const QVariant seen = marginsVariant(margins);
    if (widget->property(kPlacedProperty) == seen) return;
    // Placed with its own frame once; after that only a Fill window follows its frame.
    const bool placedBefore = widget->property(kPlacedProperty).toList().size() == 4;
    widget->setProperty(kPlacedProperty, seen);
    if (!placedBefore || placementOf(widget) == Placement::Fill) place(widget);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (!placeable(widget)) return false;
        const bool first = !widget->property(kPlacedProperty).isValid();
        if (first || placementOf(widget) == Placement::Fill) place(widget);
        if (first) widget->setProperty(kPlacedProperty, QVariantList{});
        // The frame comes with the window's first exposure: watch its platform window.
        if (QWindow* handle = widget->windowHandle();
            handle && !handle->property(kWatchedProperty).isValid()) {
            handle->setProperty(kWatchedProperty, true);
            handle->installEventFilter(this);
        }
        return false;
    }
    if ((type == QEvent::Expose || type == QEvent::Move || type == QEvent::Resize) &&
        watched->isWindowType()) {
        if (QWidget* widget = widgetOf(static_cast<QWindow*>(watched))) followFrame(widget);
    }
    return false;
}

}  // namespace pluvik

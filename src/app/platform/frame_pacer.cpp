#include "platform/frame_pacer.h"

#include <QAbstractEventDispatcher>
#include <QChildEvent>
#include <QEvent>
#include <QQuickWidget>
#include <QTimerEvent>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace pluvik {

namespace {

// What the user does with a page: at such times its frames come as fast as the engine draws them.
bool isWork(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::DragMove:
            return true;
        default:
            return false;
    }
}

}  // namespace

void FramePacer::attach(QWebEngineView* view, int fps) {
    if (fps > 0) new FramePacer(view, static_cast<std::uint32_t>(1000 / fps));
}

FramePacer::FramePacer(QWebEngineView* view, std::uint32_t intervalMs)
    : QObject(view), m_view(view), m_pacing(intervalMs) {
    view->installEventFilter(this);
    for (QObject* child : view->children()) watchDrawingWidget(child);
}

void FramePacer::watchDrawingWidget(QObject* child) {
    if (!child->isWidgetType() || !child->inherits("QQuickWidget")) return;
    child->removeEventFilter(this);  // a widget seen again is watched once
    child->installEventFilter(this);
    connect(
        child, &QObject::destroyed, this, [this](QObject* gone) { m_hiddenUntaken.remove(gone); },
        Qt::UniqueConnection);
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_view) {
        // Polished, not added: when it is added a child is still being made and is no Qt Quick
        // widget yet. It is polished before it is first shown, so before its first frame.
        if (type == QEvent::ChildPolished) watchDrawingWidget(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (type == QEvent::Hide) m_hiddenUntaken.insert(watched);
    if (type == QEvent::Show) m_hiddenUntaken.remove(watched);
    if (type == QEvent::Timer) {
        auto* widget = static_cast<QQuickWidget*>(watched);
        if (!widget->isVisible()) {
            // A hidden widget draws nothing, so a frame that came just before the view went (another
            // tab, the tray), or that was held, would never be taken, and the engine would wait for it,
            // waking sixty times a second until the view shows again. It is taken once, off screen.
            if (m_hiddenUntaken.remove(watched)) static_cast<void>(widget->grabFramebuffer());
            return false;
        }
        const std::uint32_t now = m_clock.tickCount();
        // A video or a game with sound is watched, not merely on the screen.
        if (m_view->page() && m_view->page()->recentlyAudible()) m_pacing.userActive(now);
        const std::uint32_t wait = m_pacing.holdFor(now);
        if (wait == 0) return false;
        // Left alone, the widget's timer comes again every few milliseconds until the frame is drawn,
        // each time waking the whole event loop for nothing: the same timer is set to come once, when
        // the frame is due. The widget stops it as usual when it draws.
        const int id = static_cast<QTimerEvent*>(event)->timerId();
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(watched->thread());
        if (dispatcher && dispatcher->unregisterTimer(id))
            dispatcher->registerTimer(id, wait, Qt::PreciseTimer, watched);
        return true;
    }
    if (isWork(type)) m_pacing.userActive(m_clock.tickCount());
    return false;
}

}  // namespace pluvik

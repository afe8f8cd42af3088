#include "platform/frame_pacer.h"

#include <QAbstractEventDispatcher>
#include <QChildEvent>
#include <QEvent>
#include <QQuickWidget>
#include <QTimerEvent>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "platform/animation_rate.h"
#include "platform/media_watch.h"

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

void FramePacer::attach(QWebEngineView* view, const AnimationRate* rate) {
    if (rate) new FramePacer(view, *rate);
}

FramePacer::FramePacer(QWebEngineView* view, const AnimationRate& rate)
    : QObject(view), m_view(view), m_rate(rate), m_pacing(rate.intervalMs()) {
    view->installEventFilter(this);
    connect(view, &QWebEngineView::loadStarted, this, [this] { m_pacing.loadStarted(m_clock.tickCount()); });
    connect(view, &QWebEngineView::loadFinished, this, [this] { m_pacing.loadFinished(); });
    for (QObject* child : view->children()) watchDrawingWidget(child);
}

void FramePacer::watchDrawingWidget(QObject* child) {
    if (!child->isWidgetType() || !child->inherits("QQuickWidget")) return;
    child->removeEventFilter(this);  // a widget seen again is watched once
    child->installEventFilter(this);
    // A member function, not a lambda: Qt refuses a unique connection to a lambda, and a widget seen
    // again must not be forgotten twice.
    connect(child, &QObject::destroyed, this, &FramePacer::forget, Qt::UniqueConnection);
}

void FramePacer::forget(QObject* gone) {
    m_hiddenUntaken.remove(gone);
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
        const std::uint32_t interval = m_rate.intervalMs();
        if (interval == 0) return false;
        m_pacing.setInterval(interval);
        const std::uint32_t now = m_clock.tickCount();
        const QWebEnginePage* page = m_view->page();
        // A video, or a game with sound, is watched, not merely on the screen.
        if (page && (MediaWatch::playing(page) || page->recentlyAudible())) m_pacing.userActive(now);
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

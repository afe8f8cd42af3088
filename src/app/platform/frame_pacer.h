#pragma once

#include <QObject>
#include <QSet>

#include "platform/frame_pacing.h"
#include "platform/steady_tick_counter.h"

class QWebEngineView;

namespace pluvik {

// Paces the frames of one web view by the FramePacing rule. It works on the widget the view draws its
// page in, a Qt Quick widget that the engine replaces when a page moves to another process. That
// widget asks for each frame by a short timer that repeats until the frame is drawn; a timer event
// held back here is put off until the frame is due, so the frame is late, never lost. The engine
// draws its next frame only once this one is taken, so the page's animation (and its renderer) slows
// down with it.
class FramePacer : public QObject {
public:
    // Paces view for as long as it lives, at most fps frames a second of the page's own animation;
    // 0 leaves every frame alone.
    static void attach(QWebEngineView* view, int fps);

private:
    FramePacer(QWebEngineView* view, std::uint32_t intervalMs);
    void watchDrawingWidget(QObject* child);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWebEngineView* m_view;
    FramePacing m_pacing;
    SteadyTickCounter m_clock;
    // Drawing widgets hidden since their last frame was taken: the view may hold several, one per
    // process its pages went through.
    QSet<const QObject*> m_hiddenUntaken;
};

}  // namespace pluvik

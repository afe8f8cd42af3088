#pragma once

#include <QObject>
#include <QSet>

#include "platform/frame_pacing.h"
#include "platform/steady_tick_counter.h"

class QWebEngineView;

namespace pluvik {

class AnimationRate;

// Paces the frames of one web view by the FramePacing rule. It works on the widget the view draws its
// page in, a Qt Quick widget that the engine replaces when a page moves to another process. That
// widget asks for each frame by a short timer that repeats until the frame is drawn; a timer event
// held back here is put off until the frame is due, so the frame is late, never lost. The engine
// draws its next frame only once this one is taken, so the page's animation (and its renderer) slows
// down with it.
class FramePacer : public QObject {
public:
    // Paces view for as long as it lives, at most rate's frames a second of the page's own animation
    // as it stands at each frame; no rate leaves every frame alone. A page that loads or plays a video
    // or sound gets every frame.
    static void attach(QWebEngineView* view, const AnimationRate* rate);

private:
    FramePacer(QWebEngineView* view, const AnimationRate& rate);
    void watchDrawingWidget(QObject* child);
    void forget(QObject* gone);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWebEngineView* m_view;
    const AnimationRate& m_rate;
    FramePacing m_pacing;
    SteadyTickCounter m_clock;
    // Drawing widgets hidden since their last frame was taken: the view may hold several, one per
    // process its pages went through.
    QSet<const QObject*> m_hiddenUntaken;
};

}  // namespace pluvik

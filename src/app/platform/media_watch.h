#pragma once

#include <QObject>

class QWebEnginePage;

namespace pluvik {

// Tells the program whether a page plays a video or a sound: a <video> or <audio> of the page or of
// one of its frames, muted or not, started by the page or by the user. The engine itself only says
// whether a page was recently audible, which misses every muted video (most of the ones pages start by
// themselves). A script in an isolated world the page cannot see follows the media elements' play,
// pause and end events and reports the change alone, so nothing polls and a page that plays nothing
// costs nothing after its start.
class MediaWatch : public QObject {
    Q_OBJECT
public:
    // Watches page for as long as it lives; to be called before the page loads anything.
    static void attach(QWebEnginePage* page);
    // Whether a media element of page plays now (false for a page nobody watches).
    static bool playing(const QWebEnginePage* page);

    // For the page's script: whether any media element of the page plays.
    Q_INVOKABLE void setPlaying(bool playing);

private:
    explicit MediaWatch(QWebEnginePage* page);
    bool m_playing = false;
};

}  // namespace pluvik

#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QWebEnginePage;

namespace pluvik {

// Tells the program whether a page plays a video or a sound: a <video> or <audio> of the page or of
// one of its frames, muted or not, started by the page or by the user. The engine itself only says
// whether a page was recently audible, which misses every muted video (most of the ones pages start by
// themselves). A script in an isolated world the page cannot see follows the media elements' play,
// pause and end events and reports the change alone, on the page's console, so nothing polls and a
// page that plays nothing costs nothing after its start.
class MediaWatch : public QObject {
    Q_OBJECT
public:
    // Watches page for as long as it lives; to be called before the page loads anything.
    static void attach(QWebEnginePage* page);
    // Whether a media element of page plays now (false for a page nobody watches).
    static bool playing(const QWebEnginePage* page);

    // A console line of page, as the page's console hook hears it; the watch takes its own reports and
    // leaves the page's lines alone.
    static void heard(const QWebEnginePage* page, const QString& line);

private:
    explicit MediaWatch(QWebEnginePage* page);
    QSet<QString> m_frames;  // the frames that play, by the name their script gave itself
};

}  // namespace pluvik

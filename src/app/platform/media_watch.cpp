#include "platform/media_watch.h"

#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace pluvik {

namespace {

constexpr const char* kObjectName = "pluvikMedia";

// Every frame of the page follows the media elements that play in it. A frame's own events do not
// reach the document once an element has left it, so each playing element is followed by listeners of
// its own. A frame says when it starts and stops playing on the console of the program's own world,
// which the page's scripts cannot reach: the engine hands the page's console lines of every frame,
// whatever its site, to the program, and the line begins with a secret of this run (@TOKEN@), so a
// page cannot speak for the script. A page that plays nothing says one line per top document, as it
// goes.
const char* kFrameScript = R"((function() {
  var playing = new Set(), followed = new WeakSet(), isTop = window === window.top;
  var frame = Math.random().toString(36).slice(2), said = false, log = console.log;
  var say = function(text) { log.call(console, '@TOKEN@' + text); };
  var report = function() {
    var now = playing.size > 0;
    if (now !== said) { said = now; say(frame + (now ? ' 1' : ' 0')); }
  };
  var stopped = function(e) {
    if (playing.delete(e.target)) report();
  };
  document.addEventListener('playing', function(e) {
    var media = e.target;
    if (!(media instanceof HTMLMediaElement)) return;
    if (!followed.has(media)) {
      followed.add(media);
      ['pause', 'ended', 'emptied', 'abort', 'error'].forEach(function(type) {
        media.addEventListener(type, stopped, true);
      });
    }
    if (!playing.has(media)) { playing.add(media); report(); }
  }, true);
  // A document that goes plays nothing any more, nor do the frames of a top document that goes.
  window.addEventListener('pagehide', function() {
    playing.clear();
    if (isTop) say('top');
    else report();
  }, true);
})();)";

// What every line of the script begins with: a secret of this run, unknown to every page, and a space.
const QString& prefix() {
    static const QString secret = [] {
        QString text = QStringLiteral("pluvik-media-");
        for (int i = 0; i < 4; ++i)
            text += QString::number(QRandomGenerator::system()->generate(), 36);
        return text + QLatin1Char(' ');
    }();
    return secret;
}

const QWebEngineScript& script() {
    static const QWebEngineScript s = [] {
        QWebEngineScript made;
        made.setName(QStringLiteral("pluvik-media"));
        made.setSourceCode(QString::fromLatin1(kFrameScript).replace(QStringLiteral("@TOKEN@"), prefix()));
        made.setWorldId(QWebEngineScript::ApplicationWorld);
        made.setInjectionPoint(QWebEngineScript::DocumentCreation);
        made.setRunsOnSubFrames(true);
        return made;
    }();
    return s;
}

MediaWatch* watchOf(const QWebEnginePage* page) {
    return page ? page->findChild<MediaWatch*>(QString::fromLatin1(kObjectName), Qt::FindDirectChildrenOnly)
                : nullptr;
}

}  // namespace

MediaWatch::MediaWatch(QWebEnginePage* page) : QObject(page) {
    setObjectName(QString::fromLatin1(kObjectName));
    page->scripts().insert(script());
    // A renderer that ends takes the page's playing elements with it.
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] { m_frames.clear(); });
}

void MediaWatch::attach(QWebEnginePage* page) {
    new MediaWatch(page);
}

bool MediaWatch::playing(const QWebEnginePage* page) {
    const MediaWatch* watch = watchOf(page);
    return watch && !watch->m_frames.isEmpty();
}

void MediaWatch::heard(const QWebEnginePage* page, const QString& line) {
    if (!line.startsWith(prefix())) return;
    MediaWatch* watch = watchOf(page);
    if (!watch) return;
    const QStringList words = line.mid(prefix().size()).split(' ');
    if (words.size() == 1 && words[0] == QLatin1String("top"))
        watch->m_frames.clear();
    else if (words.size() == 2 && words[1] == QLatin1String("1"))
        watch->m_frames.insert(words[0]);
    else if (words.size() == 2)
        watch->m_frames.remove(words[0]);
}

}  // namespace pluvik

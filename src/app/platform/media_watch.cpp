#include "platform/media_watch.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace pluvik {

namespace {

constexpr const char* kObjectName = "pluvikMedia";

// Every frame of the page counts the media elements that play in it. A frame's own events do not reach
// the document once an element has left it, so each playing element is followed by listeners of its
// own. The engine gives the channel to the page's top frame only: the frames report to it by message,
// which the top frame's listener takes before any of the page's own listeners sees it. The channel is
// opened the first time something plays, so a page that plays nothing (nearly every result page)
// costs no channel and no message.
const char* kFrameScript = R"((function() {
  var playing = new Set(), followed = new WeakSet(), isTop = window === window.top;
  var token = Math.random().toString(36).slice(2);
  var hub = null;
  if (isTop) {
    var counts = new Map(), sink = null, opening = false, told = false;
    var tell = function() {
      var now = false;
      counts.forEach(function(n) { if (n > 0) now = true; });
      if (sink) {
        if (now !== told) { told = now; sink.setPlaying(now); }
      } else if (now && !opening && window.__pluvikMediaChannel) {
        opening = true;
        window.__pluvikMediaChannel(function(object) { sink = object; tell(); });
      }
    };
    hub = {frame: function(id, n) { if (n > 0) counts.set(id, n); else counts.delete(id); tell(); }};
    window.addEventListener('message', function(e) {
      var d = e.data;
      if (!d || typeof d !== 'object' || typeof d.pluvikMedia !== 'string') return;
      e.stopImmediatePropagation();
      hub.frame('f' + d.pluvikMedia, d.playing | 0);
    }, true);
  }
  var report = function() {
    if (hub) hub.frame('top', playing.size);
    else window.top.postMessage({pluvikMedia: token, playing: playing.size}, '*');
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
    var had = playing.size;
    playing.clear();
    if (isTop) counts.clear();
    if (isTop || had) report();
  }, true);
})();)";

// The top frame's end of the channel: a function that opens it and hands its object to `done`. The
// channel's library is inside the function, so the engine only skims it until something plays.
const char* kChannelOpen = "window.__pluvikMediaChannel = function(done) {\n";
const char* kChannelClose = R"(
new QWebChannel(qt.webChannelTransport, function(channel) { done(channel.objects.pluvikMedia); });
};)";

QWebEngineScript script(const QString& name, const QString& source, bool subFrames) {
    QWebEngineScript s;
    s.setName(name);
    s.setSourceCode(source);
    s.setWorldId(QWebEngineScript::ApplicationWorld);
    s.setInjectionPoint(QWebEngineScript::DocumentCreation);
    s.setRunsOnSubFrames(subFrames);
    return s;
}

const QList<QWebEngineScript>& scripts() {
    static const QList<QWebEngineScript> all = [] {
        QFile library(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        const bool read = library.open(QIODevice::ReadOnly);
        QList<QWebEngineScript> list{
            script(QStringLiteral("pluvik-media"), QString::fromLatin1(kFrameScript), true)};
        // Without the channel's library the page still runs; its videos are then paced like any
        // animation.
        if (read)
            list.append(script(QStringLiteral("pluvik-media-channel"),
                               QString::fromLatin1(kChannelOpen) + QString::fromUtf8(library.readAll()) +
                                   QString::fromLatin1(kChannelClose),
                               false));
        return list;
    }();
    return all;
}

}  // namespace

MediaWatch::MediaWatch(QWebEnginePage* page) : QObject(page) {
    setObjectName(QString::fromLatin1(kObjectName));
    auto* channel = new QWebChannel(page);
    channel->registerObject(QString::fromLatin1(kObjectName), this);
    page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);
    page->scripts().insert(scripts());
    // A renderer that ends takes the page's playing elements with it.
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] { m_playing = false; });
}

void MediaWatch::attach(QWebEnginePage* page) {
    new MediaWatch(page);
}

bool MediaWatch::playing(const QWebEnginePage* page) {
    if (!page) return false;
    const auto* watch =
        page->findChild<MediaWatch*>(QString::fromLatin1(kObjectName), Qt::FindDirectChildrenOnly);
    return watch && watch->m_playing;
}

void MediaWatch::setPlaying(bool playing) {
    m_playing = playing;
}

}  // namespace pluvik

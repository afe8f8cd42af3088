// Pages' own animations with the real browser engine on the software path: the view holds them to
// the rate the user chose, and the engine, waiting for each frame to be taken, runs the page no
// faster; a playing video, muted, in the page or in a frame of another site, gets every frame. Calm
// rates are checked from above only (a loaded machine draws fewer frames, never more); a video's every
// frame from below, well over what the calm rate lets through.

#include <QPointer>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <csignal>
#include <optional>

#include "platform/animation_rate.h"
#include "platform/frame_pacing.h"
#include "platform/media_watch.h"
#include "platform/web_browser_view.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// Counts the page's animation frames from now on, moving a dot on each so that every frame has
// something new to show; run again, it starts the count afresh.
const char* kCountFrames = R"((function() {
  var counting = !!window.pluvikFrames;
  window.pluvikFrames = {n: 0, first: 0, last: 0};
  if (counting) return;
  var dot = document.createElement('div');
  dot.style.cssText = 'position:fixed;right:0;bottom:0;width:4px;height:4px;background:#c33';
  document.body.appendChild(dot);
  function step(t) {
    var f = window.pluvikFrames;
    if (!f.first) f.first = t;
    f.last = t;
    ++f.n;
    dot.style.right = (f.n % 8) + 'px';
    requestAnimationFrame(step);
  }
  requestAnimationFrame(step);
})())";

QStringList qtWarnings;
QtMessageHandler qtHandler = nullptr;

void keepQtWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg && message.startsWith(QLatin1String("QObject::")))
        qtWarnings << message;
    if (qtHandler) qtHandler(type, context, message);
}

}  // namespace

class E2ePacingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        qtHandler = qInstallMessageHandler(keepQtWarnings);
    }
    void init() {
        m_program.animation.setChoice(AnimationChoice::Standard);
        qtWarnings.clear();
    }
    void cleanup() { QVERIFY2(qtWarnings.isEmpty(), qPrintable(qtWarnings.join('\n'))); }
    void aCalmPageRunsAtTheChosenRateAndAChangeShowsAtOnce();
    void aPlayingMutedVideoGetsEveryFrame_data();
    void aPlayingMutedVideoGetsEveryFrame();
    void aDrawingWidgetTheEngineReplacesWhileItsFrameIsHeldIsForgotten();

private:
    std::unique_ptr<WebBrowserView> shownBrowser() {
        auto browser = std::make_unique<WebBrowserView>(
            m_program.profile, QUrl(QStringLiteral("about:blank")), m_program.trace, m_program.dialogs,
            m_program.shell, nullptr, nullptr, &m_program.animation);
        browser->resize(800, 600);
        browser->show();
        static_cast<void>(QTest::qWaitForWindowExposed(browser.get()));
        return browser;
    }

    static bool load(WebBrowserView& browser, const QString& address) {
        QSignalSpy loaded(browser.view(), &QWebEngineView::loadFinished);
        browser.Navigate(address);
        return loaded.wait(30000) && loaded.first().first().toBool();
    }

    static QVariant run(QWebEngineView* view, const QString& script) {
        QVariant value;
        bool answered = false;
        view->page()->runJavaScript(script, [&](const QVariant& result) {
            value = result;
            answered = true;
        });
        static_cast<void>(QTest::qWaitFor([&] { return answered; }, 10000));
        return value;
    }

    // Frames a second of the page's animation over three seconds from now.
    static std::optional<double> frameRate(QWebEngineView* view) {
        run(view, QString::fromLatin1(kCountFrames));
        QTest::qWait(3000);
        const QVariantList f =
            run(view, QStringLiteral("[pluvikFrames.n, pluvikFrames.last - pluvikFrames.first]")).toList();
        if (f.size() != 2 || f[1].toDouble() <= 0) return std::nullopt;
        return 1000.0 * (f[0].toDouble() - 1) / f[1].toDouble();
    }

    EngineProgram m_program{EngineOptions{.mainWindow = false}};
};

void E2ePacingTest::aCalmPageRunsAtTheChosenRateAndAChangeShowsAtOnce() {
    auto browser = shownBrowser();
    QVERIFY(load(*browser, QStringLiteral("http://anim.test/__anim/css")));
    std::optional<double> rate = frameRate(browser->view());
    QVERIFY2(rate, "the page did not animate");
    // 标准: 30 frames a second, with room for the timer's steps; unpaced, the engine draws 60.
    QVERIFY2(*rate > 0.5 && *rate < 42, qPrintable(QString::number(*rate)));

    m_program.animation.setChoice(AnimationChoice::Saver);
    rate = frameRate(browser->view());
    QVERIFY2(rate && *rate > 0.5 && *rate < 15, qPrintable(QString::number(rate.value_or(-1))));
}

void E2ePacingTest::aPlayingMutedVideoGetsEveryFrame_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("in the page") << QStringLiteral("video");
    QTest::newRow("in a frame of another site") << QStringLiteral("video-frame");
}

void E2ePacingTest::aPlayingMutedVideoGetsEveryFrame() {
    QFETCH(QString, kind);
    auto browser = shownBrowser();
    QVERIFY(load(*browser, "http://news.test/__anim/" + kind));
    QWebEnginePage* page = browser->view()->page();
    QVERIFY2(QTest::qWaitFor([&] { return MediaWatch::playing(page); }, 30000), "the video did not play");
    const std::optional<double> rate = frameRate(browser->view());
    QVERIFY2(rate && *rate > 50, qPrintable(QString::number(rate.value_or(-1))));
    QVERIFY(!page->recentlyAudible());  // muted: the engine's own sign of media says nothing

    if (kind != "video") return;
    // Paused, the page is one more calm animation.
    run(browser->view(), QStringLiteral("document.querySelector('video').pause()"));
    QVERIFY(QTest::qWaitFor([&] { return !MediaWatch::playing(page); }, 10000));
    QTest::qWait(static_cast<int>(FramePacing::kInputGraceMs));
    const std::optional<double> calm = frameRate(browser->view());
    QVERIFY2(calm && *calm < 42, qPrintable(QString::number(calm.value_or(-1))));
}

void E2ePacingTest::aDrawingWidgetTheEngineReplacesWhileItsFrameIsHeldIsForgotten() {
    auto browser = shownBrowser();
    QVERIFY(load(*browser, QStringLiteral("http://anim.test/__anim/css")));
    QQuickWidget* drawing = browser->view()->findChild<QQuickWidget*>();
    QVERIFY(drawing);
    const QPointer<QQuickWidget> first(drawing);
    // Hidden, the widget keeps the frame the engine had ready; then its renderer dies, and the tab
    // loads its page again in a new one, with a new drawing widget, once it is shown again.
    browser->hide();
    QTest::qWait(200);
    QSignalSpy gone(browser->view()->page(), &QWebEnginePage::renderProcessTerminated);
    QSignalSpy reloaded(browser->view(), &QWebEngineView::loadFinished);
    QCOMPARE(::kill(static_cast<pid_t>(browser->rendererPid()), SIGKILL), 0);
    QVERIFY(gone.wait(10000));
    browser->show();
    QVERIFY(QTest::qWaitForWindowExposed(browser.get()));
    QVERIFY(reloaded.wait(30000));
    QVERIFY(QTest::qWaitFor([&] { return first.isNull(); }, 10000));
    // The new widget is paced as the first was.
    const std::optional<double> rate = frameRate(browser->view());
    QVERIFY2(rate && *rate > 0.5 && *rate < 42, qPrintable(QString::number(rate.value_or(-1))));
}

ENGINE_TEST_MAIN(E2ePacingTest)
#include "tst_e2e_pacing.moc"

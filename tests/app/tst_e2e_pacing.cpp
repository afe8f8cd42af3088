// A page's own animation with the real browser engine on the software path: the view holds it to the
// frame rate it was given, and the engine, waiting for each frame to be taken, runs the page's
// animation no faster. Only an upper bound is checked: a loaded machine draws fewer frames, never more.

#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QWebEngineView>
#include <QtTest>
#include <optional>

#include "platform/web_browser_view.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// Moves a box on every animation frame, so every frame has something new to show, and counts them.
const char* kAnimatedPage = R"(<!doctype html><html><body>
<div id="box" style="position:absolute;width:40px;height:40px;background:#36c"></div>
<script>
var frames = 0, first = 0, last = 0;
function step(t) {
  if (!first) first = t;
  last = t;
  ++frames;
  document.getElementById('box').style.left = (frames % 400) + 'px';
  requestAnimationFrame(step);
}
requestAnimationFrame(step);
</script></body></html>)";

}  // namespace

class E2ePacingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }
    void aPagesOwnAnimationRunsNoFasterThanItsFrameRate();

private:
    // Frames a second of the page's animation over its last seconds, once it has run for a while.
    std::optional<double> frameRate(QWebEngineView* view) {
        std::optional<double> rate;
        bool answered = false;
        view->page()->runJavaScript("[frames, last - first]", [&](const QVariant& result) {
            const QVariantList values = result.toList();
            if (values.size() == 2 && values[1].toDouble() > 0)
                rate = 1000.0 * (values[0].toDouble() - 1) / values[1].toDouble();
            answered = true;
        });
        if (!QTest::qWaitFor([&] { return answered; }, 10000)) return std::nullopt;
        return rate;
    }

    EngineProgram m_program{EngineOptions{.mainWindow = false}};
};

void E2ePacingTest::aPagesOwnAnimationRunsNoFasterThanItsFrameRate() {
    WebBrowserView browser(m_program.profile, QUrl(QStringLiteral("about:blank")), m_program.trace,
                           m_program.dialogs, m_program.shell, nullptr, nullptr, 10);
    browser.resize(800, 600);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    QSignalSpy loaded(browser.view(), &QWebEngineView::loadFinished);
    browser.view()->setHtml(QString::fromLatin1(kAnimatedPage));
    QVERIFY(loaded.wait(30000));
    QTest::qWait(3000);
    const std::optional<double> rate = frameRate(browser.view());
    QVERIFY2(rate, "the page did not animate");
    // 10 frames a second, with room for the timer's steps; unpaced, the engine draws 60.
    QVERIFY2(*rate > 0.5 && *rate < 20, qPrintable(QString::number(*rate)));
}

ENGINE_TEST_MAIN(E2ePacingTest)
#include "tst_e2e_pacing.moc"

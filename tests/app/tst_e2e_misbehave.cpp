// Result pages that misbehave, with the real browser engine against the local server: pages that open
// windows by themselves, scripts that never end, renderers that die, pages that ask to stay, and
// pages animating in hidden tabs (frozen, and woken to be printed, saved or loaded). None of them may take
// the program over.

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>

#include <QFile>
#include <QPrinter>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include "browse/browse_window.h"
#include "platform/qt_text.h"
#include "platform/web_browser_view.h"
#include "search/engine_catalogue.h"
#include "search/engine_table.h"
#include "shell/tab_strip.h"
#include "shell/wait_window.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"
#include "support/main_controls.h"
#include "support/page_input.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

constexpr int kTimeoutMs = 60000;
const QString kStopped = QStringLiteral("网页已停止响应");
const QString kCrashed = QStringLiteral("网页已意外关闭");

QString resultHost(int tab) {
    return QUrl(toQ(EngineCatalogue().address(tab, "x").address)).host();
}

QString resultTitle(int tab) {
    return "Result " + resultHost(tab);
}

}  // namespace

class E2eMisbehaveTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_server.isRunning(), qPrintable(m_server.errorString())); }
    void windowsOpenOnlyWhenTheUserAsks();
    void leaveThisPageNeverHoldsACommand();
    void aFrozenHiddenTabIsWokenToPrintSaveAndLoad();
    void aHungPageIsStoppedAndEveryOtherTabLoads();
    void aDeadRendererIsShownOrReloadedButNeverInALoop();

private:
    // A search typed into the keyword box; the wait window goes by itself once tab 15 is done.
    void search(const QString& keyword) {
        keywordBox(m_main)->setEditText(keyword);
        m_main.search();
    }
    WebBrowserView* web(int tab) { return qobject_cast<WebBrowserView*>(resultBrowser(m_main, tab)); }
    // The answer of tab's page to a script, once it has come.
    QVariant answer(int tab, const QString& script) {
        auto result = std::make_shared<std::optional<QVariant>>();
        web(tab)->view()->page()->runJavaScript(script, [result](const QVariant& v) { *result = v; });
        if (!QTest::qWaitFor([&] { return result->has_value(); }, kTimeoutMs)) return {};
        return **result;
    }
    bool allBuiltInTabsShowResults(const QList<int>& except = {});

    // Each case runs in a process of its own (see main()), so the program is made once per case.
    EngineProgram m_program;
    TestServer& m_server = m_program.server;
    MainWindow& m_main = *m_program.window;
};

bool E2eMisbehaveTest::allBuiltInTabsShowResults(const QList<int>& except) {
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab)
        if (!except.contains(tab) && web(tab)->DocumentTitle() != resultTitle(tab)) return false;
    return true;
}

void E2eMisbehaveTest::windowsOpenOnlyWhenTheUserAsks() {
    BrowserView* tab0 = resultBrowser(m_main, 0);
    // Thirty window.open calls on load, no click: no window, nothing for the desktop, no request.
    tab0->Navigate("http://storm.test/__bad/popups?n=30");
    QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), QStringLiteral("Bad popups"), kTimeoutMs);
    QTest::qWait(1500);
    QCOMPARE(m_program.windows->windows().size(), 0);
    QVERIFY(m_program.shell.opened.isEmpty());
    QVERIFY(m_server.requests(TestServer::to("popup.test")).isEmpty());

    // A window the user asks for opens, one per click: a browsing window with the page in its tab 0.
    tab0->Navigate("http://asked.test/__newwin/open?user=1");
    QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), QStringLiteral("NewWin Open"), kTimeoutMs);
    QVERIFY(clickInPageUntil(tab0, [&] { return m_program.windows->windows().size() == 1; }));
    BrowseWindow* opened = m_program.windows->windows().first();
    QTRY_COMPARE_WITH_TIMEOUT(opened->windowTitle(), QStringLiteral("Popup /window-open"), kTimeoutMs);
    QCOMPARE(opened->browser(0)->LocationURL(), QStringLiteral("http://popup.test/window-open"));
    QCOMPARE(opened->tabs()->visibleCount(), 1);
    QVERIFY(opened->isVisible());
    QCOMPARE(tab0->LocationURL(), QStringLiteral("http://asked.test/__newwin/open?user=1"));

    // With links going to the system browser, the desktop gets web addresses and nothing else.
    m_program.settings.setLiveSource([] {
        Settings s;
        s.sousuo = false;
        s.ie = true;
        return s;
    });
    tab0->Navigate("http://asked.test/__newwin/open?user=1&to=mailto:someone@example.test");
    QTRY_VERIFY_WITH_TIMEOUT(tab0->LocationURL().endsWith("example.test"), kTimeoutMs);
    QVERIFY(clickInPageUntil(tab0, [&] { return m_program.traced("popup_refused", "mailto") > 0; }));
    tab0->Navigate("http://asked.test/__newwin/open?user=1&to=http://web.test/page");
    QTRY_VERIFY_WITH_TIMEOUT(tab0->LocationURL().endsWith("web.test/page"), kTimeoutMs);
    QVERIFY(clickInPageUntil(tab0, [&] { return !m_program.shell.opened.isEmpty(); }));
    QCOMPARE(m_program.shell.opened, QList<QUrl>{QUrl("http://web.test/page")});
    QCOMPARE(m_program.windows->windows().size(), 1);
}

void E2eMisbehaveTest::aHungPageIsStoppedAndEveryOtherTabLoads() {
    // Tab 15's page, whose completion ends the wait, never finishes its script.
    const int hungTab = EngineTable::kSignalTab;
    const QString host = resultHost(hungTab);
    QVERIFY(m_server.control("bad_kind=hang&bad_host=" + host));
    search("abc");
    QVERIFY(m_server.waitForRequest(TestServer::to(host), kTimeoutMs));
    // Stopped as the page that hung its process; should the watchdog first have stopped a neighbour,
    // the page hangs its next process too and ends on the program's own page all the same.
    QTRY_VERIFY_WITH_TIMEOUT(
        web(hungTab)->DocumentTitle() == kStopped || web(hungTab)->DocumentTitle() == kCrashed, kTimeoutMs);
    // The wait window closed by itself, and every other tab loaded, the reloaded neighbours too.
    // The watchdog cannot always tell which of the pages loading in a hung process hangs it: a
    // neighbour it took for the culprit first says so on a page of the program's own.
    QTRY_VERIFY_WITH_TIMEOUT(m_main.isEnabled() && !waitWindow()->isVisible(), kTimeoutMs);
    auto stoppedTabs = [&] {
        QList<int> tabs;
        for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab)
            if (web(tab)->DocumentTitle() == kStopped || web(tab)->DocumentTitle() == kCrashed) tabs << tab;
        return tabs;
    };
    QTRY_VERIFY_WITH_TIMEOUT(allBuiltInTabsShowResults(stoppedTabs()), kTimeoutMs);

    // The next search navigates every stopped tab as usual.
    QVERIFY(m_server.control("bad_host="));
    search("def");
    QTRY_VERIFY_WITH_TIMEOUT(
        allBuiltInTabsShowResults() && resultBrowser(m_main, hungTab)->LocationURL().endsWith("def"),
        kTimeoutMs);
}

void E2eMisbehaveTest::aDeadRendererIsShownOrReloadedButNeverInALoop() {
    search("abc");
    QTRY_VERIFY_WITH_TIMEOUT(allBuiltInTabsShowResults(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!waitWindow()->isVisible(), kTimeoutMs);
    // Meanwhile the user works in another window: pages coming back after their renderer's end
    // take neither its keys nor the main window's focus.
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), kTimeoutMs);
    QWidget* const focused = m_main.focusWidget();
    const auto focusKept = [&] { return other.isActiveWindow() && m_main.focusWidget() == focused; };

    // The renderer of the tab on screen dies: that tab says so; the hidden tabs it shared the
    // renderer with load their pages again when the user looks at them, not all at once.
    const qint64 pid = web(0)->rendererPid();
    QVERIFY(pid > 0);
    QList<int> neighbours;
    for (int tab = 1; tab < EngineTable::kBuiltInCount; ++tab)
        if (web(tab)->rendererPid() == pid) neighbours.append(tab);
    QVERIFY2(!neighbours.isEmpty(), "four renderers share the result tabs");
    const int neighbour = neighbours.first();
    // Loads of the neighbour's page (the engine's cache may answer them, so the server's log cannot).
    const QByteArray neighbourName = "\"browser\":\"" + web(neighbour)->objectName().toUtf8() + '"';
    const auto asked = [&] { return m_program.traced("load_started", neighbourName); };
    const int askedBefore = asked();
    QCOMPARE(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(resultBrowser(m_main, 0)->DocumentTitle(), kCrashed, kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(
        m_program.traced("renderer_gone", "\"action\":\"reload_when_shown\"") >= neighbours.size(),
        kTimeoutMs);
    QCOMPARE(asked(), askedBefore);
    resultTabs(m_main)->setCurrent(neighbour);
    QTRY_VERIFY_WITH_TIMEOUT(asked() == askedBefore + 1 && web(neighbour)->rendererPid() > 0 &&
                                 web(neighbour)->rendererPid() != pid && !web(neighbour)->isLoading() &&
                                 web(neighbour)->DocumentTitle() == resultTitle(neighbour),
                             kTimeoutMs);
    QVERIFY(focusKept());

    // A page whose renderer dies again right after it was loaded again is not loaded a third time,
    // hidden or not.
    resultTabs(m_main)->setCurrent(0);
    QCOMPARE(::kill(static_cast<pid_t>(web(neighbour)->rendererPid()), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(resultBrowser(m_main, neighbour)->DocumentTitle(), kCrashed, kTimeoutMs);
    QCOMPARE(m_program.traced("renderer_gone", "\"action\":\"crashed\"," + neighbourName), 1);

    // "刷新" and the next search bring the pages back.
    resultBrowser(m_main, 0)->Refresh();
    QTRY_COMPARE_WITH_TIMEOUT(resultBrowser(m_main, 0)->DocumentTitle(), resultTitle(0), kTimeoutMs);
    search("def");
    // The neighbour is whichever tab shared the renderer: its engine's address need not end on the keyword.
    const QString searched = toQ(EngineCatalogue().address(neighbour, "def").address);
    QTRY_VERIFY_WITH_TIMEOUT(resultBrowser(m_main, neighbour)->DocumentTitle() == resultTitle(neighbour) &&
                                 resultBrowser(m_main, neighbour)->LocationURL() == searched,
                             kTimeoutMs);
}

void E2eMisbehaveTest::leaveThisPageNeverHoldsACommand() {
    BrowserView* tab0 = resultBrowser(m_main, 0);
    auto askToStay = [&] {
        tab0->Navigate("http://stay.test/__bad/stay");
        QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), QStringLiteral("Bad stay"), kTimeoutMs);
        // The engine lets a page ask only once the user did something in it; typed until the page
        // itself says so (input to a page not yet painted is dropped).
        QVERIFY(typeInPageUntil(
            tab0, "hello", [&] { return answer(0, "navigator.userActivation.hasBeenActive").toBool(); }));
    };
    askToStay();
    search("abc");
    QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), resultTitle(0), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_main.isEnabled(), kTimeoutMs);

    askToStay();
    m_main.findChild<QAction*>("qingping")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(tab0->LocationURL(), QStringLiteral("about:blank"), kTimeoutMs);
}

void E2eMisbehaveTest::aFrozenHiddenTabIsWokenToPrintSaveAndLoad() {
    QVERIFY(m_server.control("animate=1"));
    search("animated");  // a keyword of its own: earlier searches' pages are in the cache
    QTRY_VERIFY_WITH_TIMEOUT(allBuiltInTabsShowResults(), kTimeoutMs);
    using State = QWebEnginePage::LifecycleState;
    auto state = [&](int tab) { return web(tab)->view()->page()->lifecycleState(); };
    // Every hidden tab loaded its page fully before it was frozen.
    for (int tab = 1; tab < EngineTable::kBuiltInCount; ++tab)
        QTRY_VERIFY_WITH_TIMEOUT(state(tab) == State::Frozen, kTimeoutMs);
    QCOMPARE(state(0), State::Active);

    // Printed, a frozen tab is awake while the dialog asks, prints a whole document, and is frozen
    // again once the job is done.
    const int hidden = 12;
    QList<State> whileAsked;
    const QString pdf = m_program.dir.filePath("frozen.pdf");
    m_program.dialogs.setPrintHook([&](QPrinter& printer, const QString&) {
        whileAsked << state(hidden);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(resultBrowser(m_main, hidden)->ExecWB(BrowserCommand::Print));
    QTRY_VERIFY_WITH_TIMEOUT(contents(pdf).startsWith("%PDF-") && contents(pdf).trimmed().endsWith("%%EOF"),
                             kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(state(hidden), State::Frozen, kTimeoutMs);

    // Saved, it is awake too, and its page is saved as HTML.
    const QString saved = m_program.dir.filePath("frozen.htm");
    m_program.dialogs.setSaveHook([&](const SavePathRequest&) {
        whileAsked << state(hidden);
        return std::optional<SavePathAnswer>(SavePathAnswer{saved, 1});
    });
    QVERIFY(resultBrowser(m_main, hidden)->ExecWB(BrowserCommand::SaveAs));
    QTRY_VERIFY_WITH_TIMEOUT(contents(saved).size() > 50 * 1024, kTimeoutMs);
    QVERIFY(contents(saved).contains(resultHost(hidden).toUtf8()));
    QCOMPARE(whileAsked, (QList<State>{State::Active, State::Active}));

    // Sent somewhere, a frozen tab is awake before its load begins; and a load that fails leaves it
    // awake (the engine may never start the next load of a page frozen then).
    QSignalSpy loaded(resultBrowser(m_main, 13), &BrowserView::DownloadComplete);
    resultBrowser(m_main, 13)->Navigate(m_program.dir.filePath("missing.htm"));
    QCOMPARE(state(13), State::Active);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), false);
    QCOMPARE(state(13), State::Active);

    // Shown, a tab runs at once.
    resultTabs(m_main)->setCurrent(7);
    QCOMPARE(state(7), State::Active);
}

int main(int argc, char** argv) {
    // Each case runs in a process of its own: the cases that end renderer processes leave the
    // engine of the process that ended them busy with its tidying for a while, and a case after
    // them would measure that instead of the program.
    if (argc == 1) {
        int failed = 0;
        const QMetaObject& cases = E2eMisbehaveTest::staticMetaObject;
        for (int i = cases.methodOffset(); i < cases.methodCount(); ++i) {
            const QByteArray command = QByteArray(argv[0]) + " " + cases.method(i).name();
            if (!command.endsWith(" initTestCase") && std::system(command.constData()) != 0) ++failed;
        }
        return failed;
    }
    return runWithBrowserEngine(argc, argv, [&] {
        E2eMisbehaveTest test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_e2e_misbehave.moc"

// Result pages that misbehave, with the real browser engine against the local server: pages that open
// windows by themselves, scripts that never end, renderers that die, pages that ask to stay, and
// pages animating in hidden tabs. None of them may take the program over.

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>
#include <memory>

#include "browse/browse_windows.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"
#include "search/engine_table.h"
#include "search/main_window.h"
#include "search/query_address.h"
#include "search/service_hosts.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"
#include "shell/wait_window.h"
#include "support/app_fixture.h"
#include "support/main_controls.h"
#include "support/page_input.h"
#include "support/engine_test_main.h"
#include "support/test_server.h"
#include "windows/open_link.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

constexpr int kTimeoutMs = 60000;
const QString kStopped = QStringLiteral("网页已停止响应");
const QString kCrashed = QStringLiteral("网页已意外关闭");

QString resultTitle(int tab) {
    return "Result " + QUrl(toQ(queryAddress(tab, "x"))).host();
}

WebBrowserView* web(MainWindow& window, int tab) {
    return qobject_cast<WebBrowserView*>(resultBrowser(window, tab));
}

}  // namespace

class E2eMisbehaveTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void windowsOpenOnlyWhenTheUserAsks();
    void leaveThisPageNeverHoldsACommand();
    void hiddenTabsAreFrozenUntilShown();
    void aHungPageIsStoppedAndEveryOtherTabLoads();
    void aDeadRendererIsShownOrReloadedButNeverInALoop();

private:
    // A search typed into the keyword box; the wait window goes by itself once tab 15 is done.
    void search(const QString& keyword);
    bool allBuiltInTabsShowResults(const QList<int>& except = {});
    bool traced(const QByteArray& event, const QByteArray& detail) const;

    std::unique_ptr<TestServer> m_server;
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    Dialogs m_dialogs;
    QString m_tracePath = m_dir.filePath("trace.jsonl");
    Trace m_trace{m_tracePath};
    RecordingShell m_shell;
    QList<QUrl>& m_shellOpened = m_shell.opened;
    MemoryUrlHistoryStorage m_history;
    MemoryUrlCache m_cache;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<WebBrowserFactory> m_browsers;
    std::unique_ptr<BrowseWindows> m_windows;
    std::unique_ptr<MainWindow> m_main;
};

void E2eMisbehaveTest::initTestCase() {
    m_server = std::make_unique<TestServer>();
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", m_server->port()));
    m_dialogs.setTestHook([](const MessageRequest&) { return MessageAnswer::Ok; });
    m_settings = std::make_unique<SettingsStore>(toStd(m_dir.path()));
    m_profile = createSharedProfile(nullptr);
    m_browsers = std::make_unique<WebBrowserFactory>(m_profile, QUrl("about:blank"), m_trace, m_dialogs, m_shell);
}

void E2eMisbehaveTest::init() {
    QVERIFY(m_server->resetControl());
    m_shellOpened.clear();
    const ProgramServices services{*m_settings, *m_browsers, m_dialogs, m_trace, m_shell, m_dir.path()};
    m_windows = std::make_unique<BrowseWindows>(services);
    m_main = std::make_unique<MainWindow>(AppContext{services, *m_windows}, CleanerStores{m_history, m_cache});
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
}

void E2eMisbehaveTest::cleanup() {
    m_settings->clearLiveSource();
    m_main.reset();
    m_windows.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void E2eMisbehaveTest::cleanupTestCase() {
    m_browsers.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_profile;
}

void E2eMisbehaveTest::search(const QString& keyword) {
    keywordBox(*m_main)->setEditText(keyword);
    m_main->search();
}

bool E2eMisbehaveTest::allBuiltInTabsShowResults(const QList<int>& except) {
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        if (!except.contains(tab) && resultBrowser(*m_main, tab)->DocumentTitle() != resultTitle(tab)) {
            return false;
        }
    }
    return true;
}

bool E2eMisbehaveTest::traced(const QByteArray& event, const QByteArray& detail) const {
    QFile file(m_tracePath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.contains("\"event\":\"" + event + "\"") && line.contains(detail)) return true;
    return false;
}

void E2eMisbehaveTest::windowsOpenOnlyWhenTheUserAsks() {
    BrowserView* tab0 = resultBrowser(*m_main, 0);
    // Thirty window.open calls on load, no click: no window, nothing for the desktop, no request.
    tab0->Navigate("http://storm.test/__bad/popups?n=30");
    QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), QStringLiteral("Bad popups"), kTimeoutMs);
    QTest::qWait(1500);
    QCOMPARE(m_windows->windows().size(), 0);
    QVERIFY(m_shellOpened.isEmpty());
    QVERIFY(m_server->requests([](const QJsonObject& r) { return r["host"] == "popup.test"; }).isEmpty());

    // A window the user asks for opens, one per click.
    tab0->Navigate("http://asked.test/__newwin/open?user=1");
    QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), QStringLiteral("NewWin Open"), kTimeoutMs);
    QVERIFY(clickInPageUntil(tab0, [&] { return m_windows->windows().size() == 1; }));

    // With links going to the system browser, the desktop gets web addresses and nothing else.
    m_settings->setLiveSource([] {
        Settings s;
        s.sousuo = false;
        s.ie = true;
        return s;
    });
    tab0->Navigate("http://asked.test/__newwin/open?user=1&to=mailto:someone@example.test");
    QTRY_VERIFY_WITH_TIMEOUT(tab0->LocationURL().endsWith("example.test"), kTimeoutMs);
    QVERIFY(clickInPageUntil(tab0, [&] { return traced("popup_refused", "mailto"); }));
    tab0->Navigate("http://asked.test/__newwin/open?user=1&to=http://web.test/page");
    QTRY_VERIFY_WITH_TIMEOUT(tab0->LocationURL().endsWith("web.test/page"), kTimeoutMs);
    QVERIFY(clickInPageUntil(tab0, [&] { return !m_shellOpened.isEmpty(); }));
    QCOMPARE(m_shellOpened, QList<QUrl>{QUrl("http://web.test/page")});
    QCOMPARE(m_windows->windows().size(), 1);
}

void E2eMisbehaveTest::aHungPageIsStoppedAndEveryOtherTabLoads() {
    // Tab 15's page, whose completion ends the wait, never finishes its script.
    const int hungTab = EngineTable::kSignalTab;
    const QString host = QUrl(toQ(queryAddress(hungTab, "x"))).host();
    QVERIFY(m_server->control("bad_kind=hang&bad_host=" + host));
    search("abc");
    QVERIFY(m_server->waitForRequest([&](const QJsonObject& r) { return r["host"] == host; }, kTimeoutMs));
    // Stopped as the page that hung its process; should the watchdog first have stopped a neighbour,
    // the page hangs its next process too and ends on the program's own page all the same.
    QTRY_VERIFY_WITH_TIMEOUT(web(*m_main, hungTab)->DocumentTitle() == kStopped ||
                                 web(*m_main, hungTab)->DocumentTitle() == kCrashed,
                             kTimeoutMs);
    // The wait window closed by itself, and every other tab loaded, the reloaded neighbours too.
    QTRY_VERIFY_WITH_TIMEOUT(m_main->isEnabled() && !waitWindow()->isVisible(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(allBuiltInTabsShowResults({hungTab}), kTimeoutMs);

    // The next search navigates the stopped tab as usual.
    QVERIFY(m_server->control("bad_host="));
    search("def");
    QTRY_VERIFY_WITH_TIMEOUT(web(*m_main, hungTab)->DocumentTitle() == resultTitle(hungTab) &&
                                 resultBrowser(*m_main, hungTab)->LocationURL().endsWith("def"),
                             kTimeoutMs);
}

void E2eMisbehaveTest::aDeadRendererIsShownOrReloadedButNeverInALoop() {
    search("abc");
    QTRY_VERIFY_WITH_TIMEOUT(allBuiltInTabsShowResults(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!waitWindow()->isVisible(), kTimeoutMs);

    // The renderer of the tab on screen dies: that tab says so, the hidden tabs it shared the
    // renderer with load their pages again by themselves.
    const qint64 pid = web(*m_main, 0)->rendererPid();
    QVERIFY(pid > 0);
    QList<int> neighbours;
    for (int tab = 1; tab < EngineTable::kBuiltInCount; ++tab)
        if (web(*m_main, tab)->rendererPid() == pid) neighbours.append(tab);
    QVERIFY2(!neighbours.isEmpty(), "four renderers share the result tabs");
    QCOMPARE(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(resultBrowser(*m_main, 0)->DocumentTitle(), kCrashed, kTimeoutMs);
    const int neighbour = neighbours.first();
    QTRY_VERIFY_WITH_TIMEOUT(web(*m_main, neighbour)->rendererPid() > 0 &&
                                 web(*m_main, neighbour)->rendererPid() != pid &&
                                 !web(*m_main, neighbour)->isLoading() && allBuiltInTabsShowResults({0}),
                             kTimeoutMs);

    // A page whose renderer dies again right after it was loaded again is not loaded a third time.
    QCOMPARE(::kill(static_cast<pid_t>(web(*m_main, neighbour)->rendererPid()), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(resultBrowser(*m_main, neighbour)->DocumentTitle(), kCrashed, kTimeoutMs);
    QTest::qWait(1000);
    QCOMPARE(resultBrowser(*m_main, neighbour)->DocumentTitle(), kCrashed);

    // "刷新" and the next search bring the pages back.
    resultBrowser(*m_main, 0)->Refresh();
    QTRY_COMPARE_WITH_TIMEOUT(resultBrowser(*m_main, 0)->DocumentTitle(), resultTitle(0), kTimeoutMs);
    search("def");
    QTRY_VERIFY_WITH_TIMEOUT(resultBrowser(*m_main, neighbour)->DocumentTitle() == resultTitle(neighbour) &&
                                 resultBrowser(*m_main, neighbour)->LocationURL().endsWith("def"),
                             kTimeoutMs);
}

void E2eMisbehaveTest::leaveThisPageNeverHoldsACommand() {
    BrowserView* tab0 = resultBrowser(*m_main, 0);
    auto askToStay = [&] {
        tab0->Navigate("http://stay.test/__bad/stay");
        QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), QStringLiteral("Bad stay"), kTimeoutMs);
        // The page may ask only once the user has typed into it.
        bool typed = false;
        bool asking = false;
        QVERIFY(typeInPageUntil(tab0, "hello", [&] {
            if (!asking) {
                asking = true;
                web(*m_main, 0)->view()->page()->runJavaScript("document.getElementById('t').value", [&](const QVariant& v) {
                    typed = !v.toString().isEmpty();
                    asking = false;
                });
            }
            return typed;
        }));
    };
    askToStay();
    search("abc");
    QTRY_COMPARE_WITH_TIMEOUT(tab0->DocumentTitle(), resultTitle(0), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_main->isEnabled(), kTimeoutMs);

    askToStay();
    m_main->findChild<QAction*>("qingping")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(tab0->LocationURL(), QStringLiteral("about:blank"), kTimeoutMs);
}

void E2eMisbehaveTest::hiddenTabsAreFrozenUntilShown() {
    QVERIFY(m_server->control("animate=1"));
    search("animated");  // a keyword of its own: earlier searches' pages are in the cache
    QTRY_VERIFY_WITH_TIMEOUT(allBuiltInTabsShowResults(), kTimeoutMs);
    using State = QWebEnginePage::LifecycleState;
    // Every hidden tab loaded its page fully before it was frozen.
    for (int tab = 1; tab < EngineTable::kBuiltInCount; ++tab)
        QTRY_VERIFY_WITH_TIMEOUT(web(*m_main, tab)->view()->page()->lifecycleState() == State::Frozen, kTimeoutMs);
    QCOMPARE(web(*m_main, 0)->view()->page()->lifecycleState(), State::Active);

    // Shown, a tab runs at once: its animation counts on.
    resultTabs(*m_main)->setCurrent(7);
    QWebEnginePage* page = web(*m_main, 7)->view()->page();
    QCOMPARE(page->lifecycleState(), State::Active);
    int first = -1;
    int later = -1;
    page->runJavaScript("+document.getElementById('anim').textContent", [&](const QVariant& v) { first = v.toInt(); });
    QTRY_VERIFY_WITH_TIMEOUT(first >= 0, kTimeoutMs);
    QTest::qWait(300);
    page->runJavaScript("+document.getElementById('anim').textContent", [&](const QVariant& v) { later = v.toInt(); });
    QTRY_VERIFY_WITH_TIMEOUT(later > first, kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(web(*m_main, 0)->view()->page()->lifecycleState(), State::Frozen, kTimeoutMs);

    // A frozen tab is saved as it is: saving wakes it.
    const QString saved = m_dir.filePath("frozen.htm");
    m_dialogs.setSaveHook([&](const SavePathRequest&) { return std::optional<SavePathAnswer>(SavePathAnswer{saved, 1}); });
    QVERIFY(resultBrowser(*m_main, 12)->ExecWB(BrowserCommand::SaveAs));
    QTRY_VERIFY_WITH_TIMEOUT(QFile(saved).size() > 50 * 1024, kTimeoutMs);
    m_dialogs.setSaveHook({});
}

int main(int argc, char** argv) {
    // Each case runs in a process of its own: the cases that end renderer processes leave the
    // engine of the process that ended them busy with its tidying for a while, and a case after
    // them would measure that instead of the program.
    if (argc == 1) {
        int failed = 0;
        for (const char* name : {"windowsOpenOnlyWhenTheUserAsks", "leaveThisPageNeverHoldsACommand",
                                 "hiddenTabsAreFrozenUntilShown", "aHungPageIsStoppedAndEveryOtherTabLoads",
                                 "aDeadRendererIsShownOrReloadedButNeverInALoop"}) {
            const std::string command = std::string(argv[0]) + " " + name;
            if (std::system(command.c_str()) != 0) ++failed;
        }
        return failed;
    }
    return runWithBrowserEngine(argc, argv, [&] {
        E2eMisbehaveTest test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_e2e_misbehave.moc"

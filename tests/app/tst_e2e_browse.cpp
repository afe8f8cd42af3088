// The secondary browser window with the real browser engine, against the local test server as the
// proxy for every host.

#include <unistd.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QNetworkProxy>
#include <QScreen>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QtTest>
#include <memory>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"
#include "support/page_input.h"
#include "support/engine_test_main.h"
#include "support/test_server.h"

using namespace pluvik;
using pluvik::test::RecordingShell;

namespace {

// Pages come over the loopback server; a few seconds are plenty, the limit only ends a broken run.
constexpr int kPageTimeoutMs = 30000;

bool requested(const TestServer& server, const QString& host, const QString& path) {
    return server.waitForRequest(
        [&](const QJsonObject& r) { return r["host"].toString() == host && r["path"].toString() == path; },
        kPageTimeoutMs);
}

}  // namespace

class E2eBrowseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void pagesFromPagesOpenInFurtherTabs();
    void routedRequestsOpenInTabZeroOfANewWindow();
    void closingWhileAPageLoads();

private:
    ProgramServices services() { return {*m_settings, *m_browsers, m_dialogs, m_trace, m_shell, m_programDir.path()}; }
    void enter(BrowseWindow* window, const QString& address);

    std::unique_ptr<TestServer> m_server;
    QTemporaryDir m_programDir;
    std::unique_ptr<SettingsStore> m_settings;
    Dialogs m_dialogs;
    Trace m_trace{QString()};
    RecordingShell m_shell;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<WebBrowserFactory> m_browsers;
    std::unique_ptr<BrowseWindows> m_windows;
    std::vector<MessageRequest> m_messages;
};

void E2eBrowseTest::initTestCase() {
    m_server = std::make_unique<TestServer>();
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", m_server->port()));
    m_dialogs.setTestHook([this](const MessageRequest& request) {
        m_messages.push_back(request);
        return MessageAnswer::Ok;
    });
    m_settings = std::make_unique<SettingsStore>(toStd(m_programDir.path()));
    m_profile = createSharedProfile(nullptr);
    m_browsers =
        std::make_unique<WebBrowserFactory>(m_profile, QUrl("http://home.test/start"), m_trace, m_dialogs, m_shell);
    m_windows = std::make_unique<BrowseWindows>(services());
}

void E2eBrowseTest::cleanupTestCase() {
    // Every page must be gone before its profile.
    m_windows.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_profile;
}

void E2eBrowseTest::enter(BrowseWindow* window, const QString& address) {
    QComboBox* box = window->addressBox();
    box->setEditText(address);
    QTest::keyClick(box, Qt::Key_Return);
}

void E2eBrowseTest::pagesFromPagesOpenInFurtherTabs() {
    BrowseWindow* window = m_windows->create();
    TabStrip* tabs = window->tabs();
    QVERIFY(requested(*m_server, "home.test", "/start"));
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(0), QStringLiteral("Result home.test"), kPageTimeoutMs);
    QCOMPARE(window->windowTitle(), QStringLiteral("Result home.test"));

    // A link with a new-window target, followed by the page itself, once the user acts in the page.
    enter(window, "links.test/__newwin/blank?user=1");
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(0), QStringLiteral("NewWin Blank"), kPageTimeoutMs);
    QVERIFY(clickInPageUntil(window->browser(0), [&] { return tabs->current() == 2; }));
    QVERIFY(requested(*m_server, "popup.test", "/target-blank"));
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(2), QStringLiteral("Popup /target-blank"), kPageTimeoutMs);
    QCOMPARE(tabs->current(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Popup /target-blank"), kPageTimeoutMs);
    QCOMPARE(window->browser(2)->LocationURL(), QStringLiteral("http://popup.test/target-blank"));
    QTRY_COMPARE_WITH_TIMEOUT(window->addressBox()->currentText(),
                              QStringLiteral("http://popup.test/target-blank"), kPageTimeoutMs);
    // The page that opened it stays in tab 0.
    QCOMPARE(window->browser(0)->LocationURL(), QStringLiteral("http://links.test/__newwin/blank?user=1"));

    // window.open from the page now current.
    enter(window, "script.test/__newwin/open?user=1");
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(2), QStringLiteral("NewWin Open"), kPageTimeoutMs);
    QVERIFY(clickInPageUntil(window->browser(2), [&] { return tabs->current() == 3; }));
    QVERIFY(requested(*m_server, "popup.test", "/window-open"));
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(3), QStringLiteral("Popup /window-open"), kPageTimeoutMs);
    QCOMPARE(tabs->current(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Popup /window-open"), kPageTimeoutMs);
    QCOMPARE(window->browser(2)->LocationURL(), QStringLiteral("http://script.test/__newwin/open?user=1"));
    QCOMPARE(tabs->visibleCount(), 3);

    // A few more, for a strip with a row of tabs.
    for (int tab = 4; tab <= 6; ++tab) {
        enter(window, QStringLiteral("more%1.test/__newwin/open?user=1").arg(tab));
        QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(tab - 1), QStringLiteral("NewWin Open"), kPageTimeoutMs);
        QVERIFY(clickInPageUntil(window->browser(tab - 1), [&] { return tabs->current() == tab; }));
        QTRY_COMPARE_WITH_TIMEOUT(tabs->current(), tab, kPageTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(tab), QStringLiteral("Popup /window-open"), kPageTimeoutMs);
    }
    QCOMPARE(tabs->tabsPerRow(), 10);
    QCOMPARE(window->addressBox()->count(), 5);
    QVERIFY(m_messages.empty());

    const QString shot = qEnvironmentVariable("PLUVIK_SCREENSHOT");
    if (!shot.isEmpty()) {
        // Only for the picture: the title comes before the page has been painted.
        QTest::qWaitForWindowExposed(window);
        QTest::qWait(2000);
        QDir().mkpath(QFileInfo(shot).path());
        window->screen()->grabWindow(0).save(shot);
    }
    window->close();
}

void E2eBrowseTest::routedRequestsOpenInTabZeroOfANewWindow() {
    m_settings->setLiveSource([] {
        Settings s;
        s.sousuo = true;
        s.ie = false;
        return s;
    });
    // A browsing window of the program elsewhere: one browser whose new windows are routed.
    QWidget source;
    BrowserView* view = m_browsers->create(&source, "source");
    view->resize(400, 300);
    connect(view, &BrowserView::NewWindow2, &source,
            [this](NewWindowSlot& slot) { m_windows->RouteNewWindow(slot); });
    source.show();
    const int before = static_cast<int>(m_windows->windows().size());

    view->Navigate("http://route.test/__newwin/blank?user=1");
    QTRY_COMPARE_WITH_TIMEOUT(view->DocumentTitle(), QStringLiteral("NewWin Blank"), kPageTimeoutMs);
    QVERIFY(clickInPageUntil(view, [&] { return int(m_windows->windows().size()) == before + 1; }));
    QTRY_COMPARE_WITH_TIMEOUT(static_cast<int>(m_windows->windows().size()), before + 1, kPageTimeoutMs);
    BrowseWindow* window = m_windows->windows().last();
    QTRY_COMPARE_WITH_TIMEOUT(window->tabs()->caption(0), QStringLiteral("Popup /target-blank"),
                              kPageTimeoutMs);
    QCOMPARE(window->browser(0)->LocationURL(), QStringLiteral("http://popup.test/target-blank"));
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Popup /target-blank"), kPageTimeoutMs);
    QCOMPARE(window->tabs()->current(), 0);
    QCOMPARE(window->tabs()->visibleCount(), 1);
    QVERIFY(window->isVisible());
    // The source keeps its own page.
    QCOMPARE(view->LocationURL(), QStringLiteral("http://route.test/__newwin/blank?user=1"));

    m_settings->clearLiveSource();
    window->close();
}

void E2eBrowseTest::closingWhileAPageLoads() {
    QPointer<BrowseWindow> window = m_windows->create();
    enter(window, "slow.test/__hang");
    QVERIFY(requested(*m_server, "slow.test", "/__hang"));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!window);
    // The program goes on: another window still loads its home page.
    BrowseWindow* next = m_windows->create();
    QTRY_COMPARE_WITH_TIMEOUT(next->tabs()->caption(0), QStringLiteral("Result home.test"), kPageTimeoutMs);
    next->close();
}

int main(int argc, char** argv) {
    return runWithBrowserEngine(argc, argv, [&] {
        E2eBrowseTest test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_e2e_browse.moc"

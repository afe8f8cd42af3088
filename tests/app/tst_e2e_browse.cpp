// The secondary browser window with the real browser engine, against the local test server as the
// proxy for every host.

#include <QComboBox>
#include <QtTest>

#include "browse/browse_window.h"
#include "platform/browser_view.h"
#include "shell/tab_strip.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"
#include "support/page_input.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// Pages come over the loopback server; a few seconds are plenty, the limit only ends a broken run.
constexpr int kPageTimeoutMs = 30000;

void enter(BrowseWindow* window, const QString& address) {
    QComboBox* box = window->addressBox();
    box->setEditText(address);
    QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

class E2eBrowseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_server.isRunning(), qPrintable(m_server.errorString())); }
    void pagesFromPagesOpenInFurtherTabs();
    void closingWhileAPageLoads();

private:
    bool requested(const QString& host, const QString& path) {
        return m_server.waitForRequest(TestServer::to(host, path), kPageTimeoutMs);
    }

    EngineProgram m_program{{.home = QUrl("http://home.test/start"), .mainWindow = false}};
    TestServer& m_server = m_program.server;
    BrowseWindows& m_windows = *m_program.windows;
};

void E2eBrowseTest::pagesFromPagesOpenInFurtherTabs() {
    BrowseWindow* window = m_windows.create();
    TabStrip* tabs = window->tabs();
    QVERIFY(requested("home.test", "/start"));
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(0), QStringLiteral("Result home.test"), kPageTimeoutMs);
    QCOMPARE(window->windowTitle(), QStringLiteral("Result home.test"));

    // A link with a new-window target, followed by the page itself, once the user acts in the page.
    enter(window, "links.test/__newwin/blank?user=1");
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(0), QStringLiteral("NewWin Blank"), kPageTimeoutMs);
    QVERIFY(clickInPageUntil(window->browser(0), [&] { return tabs->current() == 2; }));
    QVERIFY(requested("popup.test", "/target-blank"));
    QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(2), QStringLiteral("Popup /target-blank"), kPageTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Popup /target-blank"), kPageTimeoutMs);
    QCOMPARE(window->browser(2)->LocationURL(), QStringLiteral("http://popup.test/target-blank"));
    QTRY_COMPARE_WITH_TIMEOUT(window->addressBox()->currentText(),
                              QStringLiteral("http://popup.test/target-blank"), kPageTimeoutMs);
    // The page that opened it stays in tab 0.
    QCOMPARE(window->browser(0)->LocationURL(), QStringLiteral("http://links.test/__newwin/blank?user=1"));

    // window.open from the page now current, again and again, for a strip with a row of tabs.
    for (int tab = 3; tab <= 6; ++tab) {
        const QString opener = QStringLiteral("http://more%1.test/__newwin/open?user=1").arg(tab);
        enter(window, opener);
        QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(tab - 1), QStringLiteral("NewWin Open"), kPageTimeoutMs);
        QVERIFY(clickInPageUntil(window->browser(tab - 1), [&] { return tabs->current() == tab; }));
        QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(tab), QStringLiteral("Popup /window-open"), kPageTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Popup /window-open"), kPageTimeoutMs);
        QCOMPARE(window->browser(tab - 1)->LocationURL(), opener);
    }
    QCOMPARE(tabs->visibleCount(), 6);
    QCOMPARE(tabs->tabsPerRow(), 10);
    QCOMPARE(window->addressBox()->count(), 5);
    QVERIFY(m_program.messages.empty());

    window->close();
}

void E2eBrowseTest::closingWhileAPageLoads() {
    QPointer<BrowseWindow> window = m_windows.create();
    enter(window, "slow.test/__hang");
    QVERIFY(requested("slow.test", "/__hang"));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!window);
    // The program goes on: another window still loads its home page.
    BrowseWindow* next = m_windows.create();
    QTRY_COMPARE_WITH_TIMEOUT(next->tabs()->caption(0), QStringLiteral("Result home.test"), kPageTimeoutMs);
    next->close();
}

ENGINE_TEST_MAIN(E2eBrowseTest)

#include "tst_e2e_browse.moc"

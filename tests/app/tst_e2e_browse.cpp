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

    // Pages that open pages, once the user acts in them: first a link with a new-window target in
    // tab 0, then window.open from the page now current, again and again for a strip with a row of
    // tabs. Each new page opens in a further tab and becomes current; its opener keeps its own page.
    for (int tab = 2; tab <= 6; ++tab) {
        const bool link = tab == 2;
        const QString kind = link ? "blank" : "open";
        const int from = link ? 0 : tab - 1;
        const QString opener = QStringLiteral("http://more%1.test/__newwin/%2?user=1").arg(tab).arg(kind);
        const QString popup = link ? "/target-blank" : "/window-open";
        enter(window, opener);
        QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(from), link ? "NewWin Blank" : "NewWin Open", kPageTimeoutMs);
        QVERIFY(clickInPageUntil(window->browser(from), [&] { return tabs->current() == tab; }));
        QVERIFY(requested("popup.test", popup));
        QTRY_COMPARE_WITH_TIMEOUT(tabs->caption(tab), "Popup " + popup, kPageTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), "Popup " + popup, kPageTimeoutMs);
        const QString address = "http://popup.test" + popup;
        QTRY_COMPARE_WITH_TIMEOUT(window->addressBox()->currentText(), address, kPageTimeoutMs);
        QCOMPARE(window->browser(from)->LocationURL(), opener);
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

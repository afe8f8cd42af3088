// Result pages that take too long with the real browser engine against the local server: a page that
// never finishes loading and a 30 MB page, both in tab 15, whose end closes the wait window. Neither
// may keep the main window from the user.

#include <QLineEdit>
#include <QtTest>

#include "platform/qt_text.h"
#include "platform/web_browser_view.h"
#include "search/engine_catalogue.h"
#include "search/engine_table.h"
#include "shell/wait_window.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"
#include "support/main_controls.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

constexpr int kTimeoutMs = 60000;

QString resultHost(int tab) {
    return QUrl(toQ(EngineCatalogue().address(tab, "x").address)).host();
}

}  // namespace

class E2eSlowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_server.isRunning(), qPrintable(m_server.errorString())); }
    void init() { QVERIFY(m_server.resetControl()); }
    void aPageThatNeverFinishesStillFreesTheMainWindow();
    void hugePagesKeepTheMainWindowUsable();

private:
    // The keyword typed into the keyword box and Return, as the user does; only an enabled main
    // window takes it.
    bool typeSearch(const QString& keyword) {
        if (!m_main.isEnabled()) return false;
        QLineEdit* edit = keywordBox(m_main)->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, keyword);
        QTest::keyClick(edit, Qt::Key_Return);
        return waitWindow()->isVisible() && !m_main.isEnabled();
    }
    // The wait window gone, the main window enabled and the keyword box taking the next search.
    void waitEndsAndTheNextSearchRuns(const QString& next) {
        QTRY_VERIFY_WITH_TIMEOUT(!waitWindow()->isVisible() && m_main.isEnabled(), kTimeoutMs);
        QVERIFY(m_server.control("bad_host="));
        QVERIFY(typeSearch(next));
        QTRY_VERIFY_WITH_TIMEOUT(resultBrowser(m_main, 0)->LocationURL().endsWith(next) &&
                                     !waitWindow()->isVisible() && m_main.isEnabled(),
                                 kTimeoutMs);
    }
    WebBrowserView* web(int tab) { return qobject_cast<WebBrowserView*>(resultBrowser(m_main, tab)); }

    EngineProgram m_program;
    TestServer& m_server = m_program.server;
    MainWindow& m_main = *m_program.window;
};

void E2eSlowTest::aPageThatNeverFinishesStillFreesTheMainWindow() {
    const int tab = EngineTable::kSignalTab;
    QVERIFY(m_server.control("bad_kind=slow&bad_host=" + resultHost(tab)));
    QVERIFY(typeSearch("slow"));
    QTRY_VERIFY_WITH_TIMEOUT(!waitWindow()->isVisible() && m_main.isEnabled(), kTimeoutMs);
    // Freed by the deadline, while the page goes on loading.
    QVERIFY(web(tab)->isLoading());
    QCOMPARE(m_program.traced("pages_opened", "\"reason\":\"deadline\""), 1);
    // It answers the watchdog: slow, not hung.
    QCOMPARE(m_program.traced("page_hung", "\"WebBrowser" + QByteArray::number(tab + 1) + "\""), 0);
    waitEndsAndTheNextSearchRuns("after");
}

void E2eSlowTest::hugePagesKeepTheMainWindowUsable() {
    QVERIFY(m_server.control("bad_kind=huge&bad_host=" + resultHost(0) + "," +
                             resultHost(EngineTable::kSignalTab)));
    QVERIFY(typeSearch("huge"));
    QVERIFY(m_server.waitForRequest(TestServer::to(resultHost(EngineTable::kSignalTab)), kTimeoutMs));
    waitEndsAndTheNextSearchRuns("after");
}

ENGINE_TEST_MAIN(E2eSlowTest)

#include "tst_e2e_slow.moc"

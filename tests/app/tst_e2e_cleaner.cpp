// The trace cleaner on a real browser profile, against the local test server as the proxy for every
// host: after a clean the server sees no cookie, the history file holds no visit and a cached page is
// fetched again.

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineProfile>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "cleaner/cleaner_targets.h"
#include "cleaner/sqlite_url_history_storage.h"
#include "cleaner/url_history.h"
#include "cleaner/web_engine_url_cache.h"
#include "platform/qt_text.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

const QString kSetCookie = QStringLiteral("http://www.cookie-site.test/__cookie/set?name=a&value=1");
const QString kShowCookie = QStringLiteral("http://www.cookie-site.test/__cookie/show");
const QString kCachedPage = QStringLiteral("http://www.cache-site.test/cached?q=1");
const QString kOtherPage = QStringLiteral("http://www.other-site.test/plain?q=2");
const QString kWarmUpPage = QStringLiteral("http://www.warm-up.test/plain");
const TestServer::RequestPredicate kCookieShown = TestServer::to("www.cookie-site.test", "/__cookie/show");
const TestServer::RequestPredicate kCachedPageFetched = TestServer::to("www.cache-site.test", "/cached");

class NoTargets : public CleanerTargets {
public:
    void clearKeywordHistory() override {}
    void clearBrowseAddressList() override {}
};

QStringList historyUrls(const QString& path) {
    SqliteUrlHistoryStorage file(toStd(path));
    QStringList urls;
    for (const StatUrl& visit : file.enumUrls("", 0)) urls << toQ(visit.url.value_or(""));
    return urls;
}

}  // namespace

class CleanerE2eTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void aCleanRemovesCookiesHistoryAndCachedPages();

private:
    bool load(const QString& address) {
        QSignalSpy done(m_view.get(), &BrowserView::DocumentComplete);
        m_view->Navigate(address);
        return done.wait(30000);
    }

    EngineProgram m_program{{.mainWindow = false, .recordVisits = true}};
    TestServer& m_server = m_program.server;
    CleanerServices& m_cleaner = *m_program.cleaner;
    std::unique_ptr<BrowserView> m_view;  // goes before the program
};

void CleanerE2eTest::initTestCase() {
    QVERIFY2(m_server.isRunning(), qPrintable(m_server.errorString()));
    QVERIFY(m_program.profile->persistentStoragePath().startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
    m_view.reset(m_program.browsers->create(nullptr, QStringLiteral("WebBrowser1")));
    m_view->resize(800, 600);
    m_view->show();
}

void CleanerE2eTest::aCleanRemovesCookiesHistoryAndCachedPages() {
    const QString historyFile = toQ(m_cleaner.database().path());
    QVERIFY(historyFile.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
    auto* cache = static_cast<WebEngineUrlCache*>(&m_cleaner.cache());

    // The cookie is set and sent back, so its absence later means something.
    QVERIFY(load(kSetCookie));
    QTRY_VERIFY_WITH_TIMEOUT(!cache->cookies().isEmpty(), 10000);
    QVERIFY(load(kShowCookie));
    QCOMPARE(m_server.requests(kCookieShown).last()["cookie"].toString(), QStringLiteral("a=1"));

    // The page is kept in the cache: going back to it asks the server nothing.
    QVERIFY(load(kCachedPage));
    QVERIFY(load(kOtherPage));
    QVERIFY(load(kCachedPage));
    QCOMPARE(m_server.requests(kCachedPageFetched).size(), 1);

    // Every visit is in the history file, with its title.
    const QStringList before = historyUrls(historyFile);
    for (const QString& visit : {kSetCookie, kShowCookie, kCachedPage, kOtherPage})
        QVERIFY2(before.contains(visit), qPrintable(before.join(' ')));
    const CURLHistory history(m_cleaner.history());
    QVERIFY(std::any_of(history.begin(), history.end(), [](const URLHistoryItem& item) {
        return toQ(item.URL()) == kSetCookie && toQ(item.Title()) == QStringLiteral("Cookie Set");
    }));

    // The cleaner with the cookie row checked as well, the way a user cleans everything.
    NoTargets targets;
    {
        DelSearch dialog(CleanerContext{m_program.dialogs, targets, m_cleaner.history(), m_cleaner.cache()});
        dialog.show();
        QVERIFY(dialog.urlHistory()->Count() >= 4);
        dialog.findChild<QCheckBox*>("Check4")->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(m_program.messages.size(), size_t{1});
        QCOMPARE(m_program.messages[0].text, QStringLiteral("清理完毕！"));
        QCOMPARE(dialog.urlHistory()->Count(), 0u);
    }
    QVERIFY(historyUrls(historyFile).isEmpty());
    QVERIFY(cache->cookies().isEmpty());

    // The clean is over when it says so: the next page loads at once. The site no longer gets its
    // cookie, and the cached page comes from the server again.
    QVERIFY(load(kWarmUpPage));
    QVERIFY(load(kShowCookie));
    QCOMPARE(m_server.requests(kCookieShown).last()["cookie"].toString(), QString());
    QVERIFY(load(kCachedPage));
    QCOMPARE(m_server.requests(kCachedPageFetched).size(), 2);

    // The history holds only what was visited after the clean.
    const QStringList after = historyUrls(historyFile);
    QCOMPARE(QSet<QString>(after.begin(), after.end()),
             (QSet<QString>{kWarmUpPage, kShowCookie, kCachedPage}));
}

ENGINE_TEST_MAIN(CleanerE2eTest)

#include "tst_e2e_cleaner.moc"

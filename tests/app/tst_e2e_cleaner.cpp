// The trace cleaner on a real browser profile, against the local test server as the proxy for every
// host: after a clean the server sees no cookie, the history file holds no visit and a cached page is
// fetched again.

#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QtTest>

#include <memory>

#include "cleaner/cleaner_services.h"
#include "cleaner/cleaner_targets.h"
#include "cleaner/del_search.h"
#include "cleaner/sqlite_url_history_storage.h"
#include "cleaner/url_history.h"
#include "cleaner/url_history_recorder.h"
#include "cleaner/web_engine_url_cache.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"
#include "support/app_fixture.h"
#include "support/engine_test_main.h"
#include "support/test_server.h"

using namespace pluvik;
using pluvik::test::RecordingShell;

namespace {

const QString kSetCookie = QStringLiteral("http://www.cookie-site.test/__cookie/set?name=a&value=1");
const QString kShowCookie = QStringLiteral("http://www.cookie-site.test/__cookie/show");
const QString kCachedPage = QStringLiteral("http://www.cache-site.test/cached?q=1");
const QString kOtherPage = QStringLiteral("http://www.other-site.test/plain?q=2");
const QString kWarmUpPage = QStringLiteral("http://www.warm-up.test/plain");

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
    void cleanupTestCase();
    void aCleanRemovesCookiesHistoryAndCachedPages();

private:
    bool load(const QString& address, int timeoutMs = 30000);
    QList<QJsonObject> requestsFor(const QString& host, const QString& path) const;

    std::unique_ptr<TestServer> m_server;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<CleanerServices> m_services;
    std::unique_ptr<WebBrowserFactory> m_browsers;
    std::unique_ptr<RecordingBrowserFactory> m_recording;
    std::unique_ptr<BrowserView> m_view;
    Trace m_trace{QString()};
    Dialogs m_dialogs;
    RecordingShell m_shell;
};

void CleanerE2eTest::initTestCase() {
    m_server = std::make_unique<TestServer>();
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
    // The browser follows the proxy the program is given; nothing reaches beyond the test server.
    qputenv("http_proxy", m_server->proxyUrl().toLatin1());
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), m_server->port()));

    m_profile = createSharedProfile(qApp);
    QVERIFY(m_profile->persistentStoragePath().startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
    m_services = std::make_unique<CleanerServices>(m_profile);
    m_browsers = std::make_unique<WebBrowserFactory>(m_profile, QUrl("about:blank"), m_trace, m_dialogs, m_shell);
    m_recording = std::make_unique<RecordingBrowserFactory>(*m_browsers, m_services->recorder());
    m_view.reset(m_recording->create(nullptr, QStringLiteral("WebBrowser1")));
    m_view->resize(800, 600);
    m_view->show();
}

void CleanerE2eTest::cleanupTestCase() {
    m_view.reset();
    m_recording.reset();
    m_browsers.reset();
    m_services.reset();
    delete m_profile;
    m_server.reset();
}

bool CleanerE2eTest::load(const QString& address, int timeoutMs) {
    QSignalSpy done(m_view.get(), &BrowserView::DocumentComplete);
    m_view->Navigate(address);
    return done.wait(timeoutMs);
}

QList<QJsonObject> CleanerE2eTest::requestsFor(const QString& host, const QString& path) const {
    return m_server->requests([&](const QJsonObject& request) {
        return request["host"].toString() == host && request["path"].toString() == path;
    });
}

void CleanerE2eTest::aCleanRemovesCookiesHistoryAndCachedPages() {
    const QString historyFile = toQ(m_services->database().path());
    QVERIFY(historyFile.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
    auto* cache = static_cast<WebEngineUrlCache*>(&m_services->cache());

    // The cookie is set and sent back, so its absence later means something.
    QVERIFY(load(kSetCookie));
    QTRY_VERIFY_WITH_TIMEOUT(!cache->cookies().isEmpty(), 10000);
    QVERIFY(load(kShowCookie));
    QCOMPARE(requestsFor("www.cookie-site.test", "/__cookie/show").last()["cookie"].toString(),
             QStringLiteral("a=1"));

    // The page is kept in the cache: going back to it asks the server nothing.
    QVERIFY(load(kCachedPage));
    QVERIFY(load(kOtherPage));
    QVERIFY(load(kCachedPage));
    QCOMPARE(requestsFor("www.cache-site.test", "/cached").size(), 1);

    // Every visit is in the history file, with its title.
    const QStringList before = historyUrls(historyFile);
    QVERIFY2(before.contains(kSetCookie), qPrintable(before.join(' ')));
    QVERIFY(before.contains(kShowCookie));
    QVERIFY(before.contains(kCachedPage));
    QVERIFY(before.contains(kOtherPage));
    {
        CURLHistory history(m_services->history());
        bool titled = false;
        for (const URLHistoryItem& item : history)
            titled = titled ||
                     (toQ(item.URL()) == kSetCookie && toQ(item.Title()) == QStringLiteral("Cookie Set"));
        QVERIFY(titled);
    }

    // The cleaner with the cookie row checked as well, the way a user cleans everything.
    Dialogs dialogs;
    QStringList messages;
    dialogs.setTestHook([&](const MessageRequest& request) {
        messages << request.text;
        return MessageAnswer::Ok;
    });
    NoTargets targets;
    {
        DelSearch dialog(CleanerContext{dialogs, targets, m_services->history(), m_services->cache()});
        dialog.show();
        QVERIFY(dialog.urlHistory()->Count() >= 4);
        dialog.findChild<QCheckBox*>("Check4")->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("清理完毕！")});
        QCOMPARE(dialog.urlHistory()->Count(), 0u);
    }
    QVERIFY(historyUrls(historyFile).isEmpty());
    QVERIFY(cache->cookies().isEmpty());

    // The clean is over when it says so: the next page loads at once. The site no longer gets its
    // cookie, and the cached page comes from the server again.
    QVERIFY(load(kWarmUpPage));
    QVERIFY(load(kShowCookie));
    QCOMPARE(requestsFor("www.cookie-site.test", "/__cookie/show").last()["cookie"].toString(), QString());
    QVERIFY(load(kCachedPage));
    QCOMPARE(requestsFor("www.cache-site.test", "/cached").size(), 2);

    // The history holds only what was visited after the clean.
    const QStringList after = historyUrls(historyFile);
    QCOMPARE(QSet<QString>(after.begin(), after.end()),
             (QSet<QString>{kWarmUpPage, kShowCookie, kCachedPage}));
}

int main(int argc, char** argv) {
    return runWithBrowserEngine(argc, argv, [&] {
        CleanerE2eTest test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_e2e_cleaner.moc"

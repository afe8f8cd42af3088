// The local test server and the end-to-end support, checked on their own: every end-to-end test trusts
// what the server logs and serves.

#include "support/program_runner.h"
#include "support/test_server.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

struct Fetched {
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray contentType;
};

}  // namespace

class TstE2eServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void resultPageAndLog();
    void updateFilesFollowSwitches();
    void errorsAndTruncation();
    void cookieRoundTrip();
    void hangingPageIsLoggedButNeverAnswered();
    void programRunnerEnvironment();

private:
    Fetched get(const QString& url);
    QNetworkReply* send(const QString& url);

    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<QNetworkAccessManager> m_nam;
};

void TstE2eServer::initTestCase() {
    m_server = std::make_unique<TestServer>();
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
    m_nam = std::make_unique<QNetworkAccessManager>();
    m_nam->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), m_server->port()));
}

void TstE2eServer::init() {
    QVERIFY(m_server->resetControl());
}

QNetworkReply* TstE2eServer::send(const QString& url) {
    QNetworkRequest request(QUrl::fromEncoded(url.toLatin1(), QUrl::StrictMode));
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("VB OpenUrl"));
    return m_nam->get(request);
}

Fetched TstE2eServer::get(const QString& url) {
    QNetworkReply* reply = send(url);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished()) finished.wait(20000);
    Fetched result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.error = reply->error();
    result.body = reply->readAll();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    reply->deleteLater();
    return result;
}

void TstE2eServer::resultPageAndLog() {
    const Fetched page = get(QStringLiteral("http://www.baidu.com/s?wd=%C4%E3%BA%C3"));
    QCOMPARE(page.status, 200);
    QVERIFY(page.contentType.contains("gbk"));
    QVERIFY(page.body.contains("<title>Result www.baidu.com</title>"));
    QVERIFY(page.body.contains("<p id=\"path\">/s</p>"));
    QVERIFY(page.body.contains("<p id=\"query\">wd=%C4%E3%BA%C3</p>"));
    QVERIFY2(page.body.size() > 50 * 1024, "result pages carry realistic weight");

    const QList<QJsonObject> logged = m_server->requests(TestServer::to("www.baidu.com"));
    QCOMPARE(logged.size(), 1);
    QCOMPARE(logged.first().value("method").toString(), QStringLiteral("GET"));
    QCOMPARE(logged.first().value("path").toString(), QStringLiteral("/s"));
    QCOMPARE(logged.first().value("query").toString(), QStringLiteral("wd=%C4%E3%BA%C3"));
    QCOMPARE(logged.first().value("user_agent").toString(), QStringLiteral("VB OpenUrl"));
    QCOMPARE(logged.first().value("status").toInt(), 200);
    // Switching goes through the control host, which stays out of the log.
    QVERIFY(m_server->requests(TestServer::to("control.test")).isEmpty());

    // A target sent with raw bytes must not look like an escaped one in the log.
    QCOMPARE(m_server->rawGet(QString::fromLatin1("http://raw.test/s?wd=\xC4\xE3")), 200);
    const QList<QJsonObject> raw = m_server->requests(TestServer::to("raw.test"));
    QCOMPARE(raw.size(), 1);
    QCOMPARE(raw.first().value("query").toString(), QString::fromLatin1("wd=\xC4\xE3"));
}

void TstE2eServer::updateFilesFollowSwitches() {
    QVERIFY2(m_server->requests().isEmpty(), "each test starts with an empty log");
    QVERIFY(get(QStringLiteral("http://update.test/up.txt")).body.startsWith("6.2.368\r\n"));

    QVERIFY(m_server->control(QStringLiteral("update_version=6.3&package_size=1000")));
    QVERIFY(get(QStringLiteral("http://update.test/up.txt")).body.startsWith("6.3\r\n"));
    const Fetched package = get(QStringLiteral("http://download.test/Pluvik.rar"));
    QCOMPARE(package.status, 200);
    QCOMPARE(package.body.size(), 1000);
    QCOMPARE(static_cast<unsigned char>(package.body.at(300)), 300 % 251);

    QVERIFY(!m_server->control(QStringLiteral("no_such_switch=1")));
    QVERIFY(m_server->resetControl());
    QCOMPARE(get(QStringLiteral("http://download.test/Pluvik.rar")).body.size(), 300000);
}

void TstE2eServer::errorsAndTruncation() {
    const Fetched missing = get(QStringLiteral("http://www.example.test/__status/404"));
    QCOMPARE(missing.status, 404);
    QVERIFY(m_server->waitForRequest(
        [](const QJsonObject& r) { return r.value("path") == "/__status/404" && r.value("status") == 404; },
        1));

    QVERIFY(m_server->control(QStringLiteral("package_status=500")));
    QCOMPARE(get(QStringLiteral("http://download.test/Pluvik.rar")).status, 500);

    QVERIFY(m_server->control(QStringLiteral("package_status=200&package_size=5000&truncate_at=1000")));
    const Fetched cut = get(QStringLiteral("http://download.test/Pluvik.rar"));
    QVERIFY2(cut.error != QNetworkReply::NoError || cut.body.size() < 5000, "a cut transfer is never whole");
    QVERIFY(cut.body.size() <= 1000);

    QVERIFY(m_server->control(QStringLiteral("truncate_at=-1&reset=1")));
    const Fetched reset = get(QStringLiteral("http://download.test/Pluvik.rar"));
    QVERIFY(reset.error != QNetworkReply::NoError);
    QVERIFY(reset.body.isEmpty());
}

void TstE2eServer::cookieRoundTrip() {
    QCOMPARE(get(QStringLiteral("http://cookie.test/__cookie/set?name=pluvik&value=42")).status, 200);
    const Fetched shown = get(QStringLiteral("http://cookie.test/__cookie/show"));
    QVERIFY(shown.body.contains("pluvik=42"));
    QVERIFY(m_server->waitForRequest(
        [](const QJsonObject& r) {
            return r.value("path") == "/__cookie/show" && r.value("cookie") == "pluvik=42";
        },
        1));
}

void TstE2eServer::hangingPageIsLoggedButNeverAnswered() {
    QNetworkReply* reply = send(QStringLiteral("http://slow.test/__hang"));
    QVERIFY(m_server->waitForRequest(TestServer::to("slow.test", "/__hang"), 10000));
    QVERIFY(!reply->isFinished());
    reply->abort();
    reply->deleteLater();
}

void TstE2eServer::programRunnerEnvironment() {
    ProgramRunner runner(m_server->proxyUrl());
    QVERIFY2(runner.isReady(), qPrintable(runner.errorString()));
    QVERIFY(!QFile::exists(runner.programDir() + "/Gn.txt"));
    // A stand-in for the program: it traces what it was given, then waits to be stopped.
    runner.setExecutable(QStringLiteral("/bin/sh"));
    const QString script = QStringLiteral(
        "printf '{\"event\":\"env\",\"t_ms\":0,\"home\":\"%s\",\"proxy\":\"%s\",\"cache\":\"%s\"}\\n' "
        "\"$PLUVIK_HOME\" \"$http_proxy\" \"$XDG_CACHE_HOME\" >> \"$PLUVIK_TRACE\"; exec sleep 60");
    QVERIFY2(runner.start({QStringLiteral("-c"), script}), qPrintable(runner.errorString()));
    QVERIFY(runner.waitForTrace(QStringLiteral("env"), 10000));
    const QJsonObject env = runner.traceEvents().first();
    QCOMPARE(env.value("home").toString(), runner.programDir());
    QCOMPARE(env.value("proxy").toString(), m_server->proxyUrl());
    QVERIFY(env.value("cache").toString().startsWith(runner.homeDir()));
    QVERIFY(
        !runner.waitForTrace(QStringLiteral("env"), 0, [](const QJsonObject& e) { return e.contains("x"); }));

    QVERIFY(runner.isRunning());
    runner.terminate();
    QVERIFY(!runner.isRunning());
}

QTEST_GUILESS_MAIN(TstE2eServer)
#include "tst_e2e_server.moc"

// The update dialog against the local test server, over real Qt Network: the server stands in as the
// proxy for the maker's update server, as http_proxy makes it for the program.

#include <QAction>
#include <QApplication>
#include <QTreeWidget>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include "platform/shell_opener.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/engine_catalogue.h"
#include "search/service_hosts.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"
#include "support/main_controls.h"
#include "support/program_runner.h"
#include "support/test_server.h"
#include "update/frm_update.h"
#include "update/qt_internet_session.h"
#include "support/update_files.h"

using namespace pluvik;

using pluvik::test::packagePattern;
using pluvik::test::upIni;
using namespace pluvik::test;

namespace {



QNetworkProxy httpProxy(quint16 port) {
    return QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port);
}

// A program directory with "up.ini", an update dialog on it, and the user's side recorded: message
// boxes and the packages handed to the shell.
struct Program {
    explicit Program(const char* installed) {
        programDir = dir.path();
        QFile ini(programDir + "/up.ini");
        if (ini.open(QIODevice::WriteOnly)) ini.write(upIni(installed));
        dialogs.setTestHook([this](const MessageRequest& request) {
            messages << request.text;
            return MessageAnswer::Ok;
        });
        shell.setTestHook([this](QWidget*, const QUrl& url) {
            const QString path = url.toLocalFile();
            QFile package(path);
            opened << path;
            // What the shell was given must be whole at the moment it is opened.
            openedBytes = package.open(QIODevice::ReadOnly) ? package.readAll() : QByteArray();
        });
        dialog = new frmUpdate(dialogs, shell, engines, trace, programDir);
        dialog->show();
    }
    ~Program() { delete dialog.data(); }

    // Sessions through `proxy`, giving up after `stallMs` without data.
    void useProxy(const QNetworkProxy& proxy, int stallMs = QtInternetSession::kDefaultStallTimeoutMs) {
        dialog->setSessionFactory([proxy, stallMs] {
            auto session = std::make_unique<QtInternetSession>();
            session->setProxy(proxy);
            session->setStallTimeout(stallMs);
            return session;
        });
    }
    void clickCheck() { QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton); }
    QStringList files() const { return QDir(programDir).entryList(QDir::Files, QDir::Name); }
    QByteArray file(const QString& name) const {
        QFile f(programDir + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QTemporaryDir traceDir;
    QString programDir;
    EngineCatalogue engines;
    Trace trace{traceDir.filePath("trace.jsonl")};
    Dialogs dialogs;
    QPointer<frmUpdate> dialog;
    QStringList messages;
    ShellOpener shell{dialogs};
    QStringList opened;
    QByteArray openedBytes;
};

}  // namespace

class UpdateEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void aNewerVersionArrivesByteForByteAndIsOpened();
    void theSameVersionOnlyTellsTheUser();
    void aPackageThatIsNotThereIsNeitherSavedNorOpened();
    void aPackageThatBreaksOffIsNeverOpened_data();
    void aPackageThatBreaksOffIsNeverOpened();
    void anUnreachableServerIsAnOpenError();
    void aSlowDownloadKeepsTheWindowAlive();
    void aStalledServerIsGivenUp();
    void aStalledServerCanBeLeftByClosingTheWindow();
    void aBadEnginesListChangesNothing_data();
    void aBadEnginesListChangesNothing();
    // Last: it starts the browser engine, whose program sets a proxy of its own.
    void anEnginesListIsAppliedAndTheNextSearchUsesIt();

private:
    bool packageRequested() const {
        return !m_server->requests([](const QJsonObject& r) { return r["path"] == "/Pluvik.rar"; }).isEmpty();
    }

    std::unique_ptr<TestServer> m_server;
    QString m_updateHost;
};

void UpdateEndToEndTest::initTestCase() {
    m_server = std::make_unique<TestServer>();
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
    // As the program runs: the system configuration, which takes http_proxy.
    qputenv("http_proxy", m_server->proxyUrl().toLatin1());
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_updateHost = QUrl(QString::fromStdString(serviceAddress(Service::UpdateServer))).host();
    QVERIFY(!m_updateHost.isEmpty());
}

void UpdateEndToEndTest::init() {
    QVERIFY(m_server->resetControl());
}

void UpdateEndToEndTest::aBadEnginesListChangesNothing_data() {
    QTest::addColumn<QString>("switches");
    QTest::addColumn<QByteArray>("refused");
    QTest::newRow("cut short") << "faults_on=engines&truncate_at=30" << QByteArray("download_failed");
    QTest::newRow("not there") << "engines_status=404" << QByteArray("download_failed");
    const QByteArray noKeyword = QUrl::toPercentEncoding("# version=9\r\nbaidu=http://a.example/s?wd=\r\n# end\r\n");
    QTest::newRow("a bad line") << "engines_text=" + QString::fromLatin1(noKeyword) << QByteArray("keyword_place");
}

void UpdateEndToEndTest::aBadEnginesListChangesNothing() {
    QFETCH(QString, switches);
    QFETCH(QByteArray, refused);
    QVERIFY(m_server->control("engines_key=/engines.txt&" + switches));
    Program program("6.2.368");
    const AddressTemplate before = program.engines.current("baidu");

    program.clickCheck();

    QVERIFY(!m_server->requests([](const QJsonObject& r) { return r["path"] == "/engines.txt"; }).isEmpty());
    QVERIFY(program.dialog->findChild<QWidget*>("fraEngines")->isHidden());
    QCOMPARE(program.engines.current("baidu"), before);
    QCOMPARE(program.files(), (QStringList{"up.ini", "update.txt"}));
    QFile trace(program.traceDir.filePath("trace.jsonl"));
    QVERIFY(trace.open(QIODevice::ReadOnly));
    QVERIFY2(trace.readAll().contains("\"refused\":\"" + refused + "\""), refused.constData());
}

void UpdateEndToEndTest::anEnginesListIsAppliedAndTheNextSearchUsesIt() {
    EngineProgram program;
    QVERIFY(program.server.control("engines_key=/engines.txt"));
    QVERIFY(ProgramRunner::writeFile(program.programDir + "/up.ini", upIni("6.2.368")));
    QVERIFY(ProgramRunner::writeFile(program.programDir + "/engines.txt", "# mine\r\nsogou=http://s.example/?q={keyword}\r\n"));
    program.engines.applyFile(toStd(program.programDir + "/engines.txt"));

    program.window->findChild<QAction*>("update")->trigger();
    QWidget* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmUpdate") dialog = w;
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    auto* list = dialog->findChild<QTreeWidget*>("lstEngines");
    QTRY_VERIFY(list && list->isVisible());
    QCOMPARE(list->topLevelItemCount(), 1);
    QVERIFY(list->topLevelItem(0)->text(0).startsWith(QStringLiteral("百度")));
    QTest::mouseClick(dialog->findChild<QPushButton*>("Command3"), Qt::LeftButton);

    QCOMPARE(ProgramRunner::readFile(program.programDir + "/engines.txt"),
             QByteArray("# mine\r\nsogou=http://s.example/?q={keyword}\r\n"
                        "baidu=http://www.baidu.com/s?ie=utf-8&wd={keyword} utf-8\r\n"));
    QComboBox* combo = keywordBox(*program.window);
    QTest::keyClicks(combo, QStringLiteral("abc"));
    QTest::keyClick(combo, Qt::Key_Return);
    QVERIFY(program.server.waitForRequest(
        [](const QJsonObject& r) { return r["target"] == "http://www.baidu.com/s?ie=utf-8&wd=abc"; }, 30000));
    // The user's own engine stayed theirs.
    QVERIFY(program.server.waitForRequest([](const QJsonObject& r) { return r["target"] == "http://s.example/?q=abc"; },
                                          30000));
}

void UpdateEndToEndTest::aNewerVersionArrivesByteForByteAndIsOpened() {
    QVERIFY(m_server->control("update_version=6.3&package_size=1000"));
    Program program("6.2.368");  // the program's own session: the proxy comes from http_proxy

    program.clickCheck();

    QCOMPARE(program.dialog->statusText(), QStringLiteral("共下载 1000 字节"));
    QCOMPARE(program.file("Pluvik.rar"), packagePattern(1000));
    QCOMPARE(program.opened, QStringList{program.programDir + "/Pluvik.rar"});
    QCOMPARE(program.openedBytes, packagePattern(1000));
    QVERIFY(program.messages.isEmpty());
    QCOMPARE(program.files(), (QStringList{"Pluvik.rar", "up.ini"}));

    const QList<QJsonObject> requests = m_server->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0]["path"].toString(), QStringLiteral("/up.txt"));
    QCOMPARE(requests[1]["path"].toString(), QStringLiteral("/Pluvik.rar"));
    for (const QJsonObject& request : requests) {
        QCOMPARE(request["method"].toString(), QStringLiteral("GET"));
        QCOMPARE(request["host"].toString(), m_updateHost);
        QCOMPARE(request["user_agent"].toString(), QStringLiteral("VB OpenUrl"));
    }
}

void UpdateEndToEndTest::theSameVersionOnlyTellsTheUser() {
    Program program("6.2.368");
    program.useProxy(httpProxy(m_server->port()));

    program.clickCheck();

    QCOMPARE(program.messages, QStringList{QStringLiteral("您目前使用的是最新版，无需更新。")});
    QVERIFY(program.opened.isEmpty());
    QVERIFY(!packageRequested());
    QCOMPARE(program.file("update.txt"), QByteArray("6.2.368\r\nPluvik\r\n"));
}

void UpdateEndToEndTest::aPackageThatIsNotThereIsNeitherSavedNorOpened() {
    QVERIFY(m_server->control("update_version=6.3&package_status=404"));
    Program program("6.2.368");
    program.useProxy(httpProxy(m_server->port()));

    program.clickCheck();

    QVERIFY(packageRequested());
    QCOMPARE(program.dialog->statusText(), QStringLiteral("下载失败：服务器返回 404，未保存 Pluvik.rar"));
    QCOMPARE(program.files(), QStringList{"up.ini"});
    QVERIFY(program.opened.isEmpty());
    QVERIFY(program.messages.isEmpty());
    QVERIFY(!program.dialog->check().PackageDownloaded);
}

void UpdateEndToEndTest::aPackageThatBreaksOffIsNeverOpened_data() {
    QTest::addColumn<QString>("switches");
    QTest::addColumn<QString>("status");  // how the status line begins
    QTest::newRow("closed early") << "truncate_at=500"
                                  << QStringLiteral(
                                         "下载中断：只收到 500 字节（应为 1000 字节），未保存 Pluvik.rar");
    // A reset may throw away what had already arrived, so the count is not fixed.
    QTest::newRow("reset mid-body") << "truncate_at=500&reset=1" << QStringLiteral("下载中断：只收到 ");
    QTest::newRow("reset before the answer") << "reset=1" << QStringLiteral("打开URL错误");
}

void UpdateEndToEndTest::aPackageThatBreaksOffIsNeverOpened() {
    QFETCH(QString, switches);
    QFETCH(QString, status);
    QVERIFY(m_server->control("update_version=6.3&package_size=1000&" + switches));
    Program program("6.2.368");
    program.useProxy(httpProxy(m_server->port()));

    program.clickCheck();

    QVERIFY(packageRequested());
    QVERIFY2(program.dialog->statusText().startsWith(status), qPrintable(program.dialog->statusText()));
    QCOMPARE(program.files(), QStringList{"up.ini"});
    QVERIFY(program.opened.isEmpty());
    QVERIFY(program.messages.isEmpty());
}

void UpdateEndToEndTest::anUnreachableServerIsAnOpenError() {
    Program program("6.2.368");
    program.useProxy(httpProxy(9));  // nothing listens there

    program.clickCheck();

    QCOMPARE(program.dialog->statusText(), QStringLiteral("打开URL错误"));
    // With nothing known of the latest version the check makes no claim, and nothing is fetched.
    QVERIFY(program.messages.isEmpty());
    QVERIFY(program.opened.isEmpty());
    QCOMPARE(program.files(), QStringList{"up.ini"});
    QVERIFY(m_server->requests().isEmpty());
}

void UpdateEndToEndTest::aSlowDownloadKeepsTheWindowAlive() {
    // Ten pieces a tenth of a second apart.
    QVERIFY(m_server->control("update_version=6.3&package_size=20000&trickle_bps=20000"));
    Program program("6.2.368");
    program.useProxy(httpProxy(m_server->port()));
    QStringList seen;
    bool buttonsDisabled = false;
    // A timer of the window's own runs while the package comes in, as repaints and clicks do.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const QString status = program.dialog->statusText();
        if (!status.startsWith(QStringLiteral("已下载 "))) return;
        seen << status;
        buttonsDisabled = !program.dialog->findChild<QPushButton*>("Command1")->isEnabled() &&
                          !program.dialog->findChild<QPushButton*>("Command2")->isEnabled();
    });
    watcher.start(0);

    program.clickCheck();
    watcher.stop();

    QVERIFY(!seen.isEmpty());
    QVERIFY(buttonsDisabled);
    QVERIFY2(seen.last().contains(QStringLiteral(" /秒 ]")), qPrintable(seen.last()));
    QCOMPARE(program.dialog->statusText(), QStringLiteral("共下载 20000 字节"));
    QCOMPARE(program.file("Pluvik.rar"), packagePattern(20000));
    QCOMPARE(program.opened.size(), 1);
}

void UpdateEndToEndTest::aStalledServerIsGivenUp() {
    // The server sits on the request far longer than the session waits.
    QVERIFY(m_server->control("update_version=6.3&delay_ms=120000"));
    Program program("6.2.368");
    program.useProxy(httpProxy(m_server->port()), 300);

    program.clickCheck();

    QCOMPARE(program.dialog->statusText(), QStringLiteral("打开URL错误"));
    QCOMPARE(program.files(), QStringList{"up.ini"});
    QVERIFY(program.opened.isEmpty());
    QVERIFY(program.dialog->findChild<QPushButton*>("Command1")->isEnabled());
}

void UpdateEndToEndTest::aStalledServerCanBeLeftByClosingTheWindow() {
    QVERIFY(m_server->control("update_version=6.3&delay_ms=120000"));
    Program program("6.2.368");
    program.useProxy(httpProxy(m_server->port()));
    // The user closes the window once the package has been asked for and nothing comes.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (program.dialog && program.dialog->isVisible() && packageRequested()) program.dialog->close();
    });
    closer.start(20);

    program.clickCheck();
    closer.stop();

    QTRY_VERIFY(program.dialog.isNull());
    QVERIFY(program.opened.isEmpty());
    QVERIFY(program.messages.isEmpty());
    QCOMPARE(program.files(), QStringList{"up.ini"});
}

ENGINE_TEST_MAIN(UpdateEndToEndTest)

#include "tst_e2e_update.moc"

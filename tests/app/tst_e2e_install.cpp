// An installed copy (cmake --install into a temporary prefix) run as a user runs it: no PLUVIK_HOME,
// its files in the user's data directory, seeded from share/pluvik; the hosts file there moves a
// service; every request asks for Chinese pages.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "support/program_runner.h"
#include "support/test_server.h"

class TstE2eInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void anInstalledCopyLivesInTheUsersDataDirectory();
    void aMissingShareDirectoryStillStarts();

private:
    QTemporaryDir m_prefix;
};

static QJsonObject lastEvent(const ProgramRunner& program, const QString& name) {
    QJsonObject found;
    for (const QJsonObject& e : program.traceEvents())
        if (e["event"].toString() == name) found = e;
    return found;
}

static bool startPageLoaded(ProgramRunner& program, const QString& page, bool ok) {
    const QString url = QUrl::fromLocalFile(page).toString();
    return program.waitForTrace("load_finished", 60000, [&](const QJsonObject& e) {
        return e["url"].toString() == url && e["ok"].toBool() == ok;
    });
}

void TstE2eInstall::initTestCase() {
    QVERIFY(m_prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start("cmake", {"--install", QStringLiteral(PLUVIK_RUNTIME_DIR "/.."), "--prefix", m_prefix.path()});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
}

void TstE2eInstall::anInstalledCopyLivesInTheUsersDataDirectory() {
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    ProgramRunner program(server.proxyUrl());
    QVERIFY(program.isReady());
    program.environment().remove("PLUVIK_HOME");
    program.setExecutable(m_prefix.filePath("bin/pluvik"));

    // The user already has an up.ini of their own, and a hosts file with one good and one bad line.
    const QString dir = program.homeDir() + "/.local/share/Pluvik";
    QVERIFY(QDir().mkpath(dir));
    const QByteArray ownIni("[x]\r\ny=1\r\n");
    QVERIFY(ProgramRunner::writeFile(dir + "/up.ini", ownIni));
    QVERIFY(ProgramRunner::writeFile(dir + "/hosts.txt", "maker_version_site = http://versions.test:8081\r\n"
                                                         "maker_version_site http://x.test\r\n"));

    QVERIFY(program.start());
    QVERIFY2(program.waitForTrace("main_window_shown", 60000), program.output().constData());
    const QJsonObject chosen = lastEvent(program, "program_directory");
    QCOMPARE(chosen["kind"].toString(), QStringLiteral("user_data"));
    QCOMPARE(chosen["path"].toString(), dir);
    QCOMPARE(chosen["seeded"].toArray(), QJsonArray({"Pluvik.htm"}));
    QCOMPARE(ProgramRunner::readFile(dir + "/Pluvik.htm"), ProgramRunner::readFile(PLUVIK_SOURCE_DIR "/data/Pluvik.htm"));
    QCOMPARE(ProgramRunner::readFile(dir + "/up.ini"), ownIni);
    QVERIFY(QFileInfo::exists(dir + "/Gn.txt") && QFileInfo::exists(dir + "/DIY.txt"));
    QVERIFY(!QFileInfo::exists(m_prefix.filePath("bin/Gn.txt")));
    QVERIFY(startPageLoaded(program, dir + "/Pluvik.htm", true));

    QCOMPARE(lastEvent(program, "host_override_ignored")["line"].toInt(), 2);
    QVERIFY(lastEvent(program, "translations")["loaded"].toArray().contains("qtbase_zh_CN"));
    QVERIFY(server.waitForRequest(
        [](const QJsonObject& r) { return r["target"].toString() == "http://versions.test:8081/6.2.368.htm"; },
        30000));
    for (const QJsonObject& r : server.requests())
        QCOMPARE(r["accept_language"].toString(), QStringLiteral("zh-CN,zh;q=0.9"));
}

void TstE2eInstall::aMissingShareDirectoryStillStarts() {
    QDir(m_prefix.filePath("share/pluvik")).removeRecursively();
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    ProgramRunner program(server.proxyUrl());
    QVERIFY(program.isReady());
    program.environment().remove("PLUVIK_HOME");
    program.setExecutable(m_prefix.filePath("bin/pluvik"));

    QVERIFY(program.start());
    QVERIFY2(program.waitForTrace("main_window_shown", 60000), program.output().constData());
    const QString dir = program.homeDir() + "/.local/share/Pluvik";
    QVERIFY(QFileInfo::exists(dir + "/Gn.txt"));
    // Every tab shows the engine's page for a missing file.
    QVERIFY(startPageLoaded(program, dir + "/Pluvik.htm", false));
}

QTEST_GUILESS_MAIN(TstE2eInstall)
#include "tst_e2e_install.moc"

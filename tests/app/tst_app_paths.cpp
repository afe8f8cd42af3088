// Which directory the program keeps its files in: PLUVIK_HOME, the build tree (the start page beside
// the executable), or an installed copy's per-user directory, also when that cannot be created.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/app_paths.h"

using namespace pluvik;

class TstAppPaths : public QObject {
    Q_OBJECT
private slots:
    void choosesTheProgramDirectory();
    void aNewerPackageRenewsTheVersionFileOnly();
};

static bool touch(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
}

void TstAppPaths::choosesTheProgramDirectory() {
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString buildBin = tmp.filePath("build/bin");
    const QString installedBin = tmp.filePath("usr/bin");
    const QString userData = tmp.filePath("home/.local/share/Pluvik");
    QVERIFY(QDir().mkpath(buildBin) && QDir().mkpath(installedBin) && QDir().mkpath(tmp.filePath("usr/share/pluvik")));
    QVERIFY(touch(buildBin + "/Pluvik.htm"));

    // PLUVIK_HOME wins over everything.
    ProgramDirectory d = resolveProgramDirectory(buildBin, tmp.filePath("portable"), userData);
    QCOMPARE(d.kind, ProgramDirectory::Kind::Environment);
    QCOMPARE(d.path, tmp.filePath("portable"));

    // The build tree: the start page lies beside the executable.
    d = resolveProgramDirectory(buildBin, QString(), userData);
    QCOMPARE(d.kind, ProgramDirectory::Kind::BesideExecutable);
    QCOMPARE(d.path, buildBin);
    QVERIFY(!QFileInfo::exists(userData));

    // An installed copy: the user's directory, made on the spot, the data found under share/pluvik.
    d = resolveProgramDirectory(installedBin, QString(), userData);
    QCOMPARE(d.kind, ProgramDirectory::Kind::UserData);
    QCOMPARE(d.path, userData);
    QCOMPARE(d.installedDataDir, tmp.filePath("usr/share/pluvik"));
    QVERIFY(d.usable);
    QVERIFY(QFileInfo(userData).isDir());

    // A user directory that cannot be made (a file stands in its way) is still the answer; the
    // program then runs on its default settings.
    QVERIFY(touch(tmp.filePath("blocked")));
    d = resolveProgramDirectory(installedBin, QString(), tmp.filePath("blocked/Pluvik"));
    QCOMPARE(d.path, tmp.filePath("blocked/Pluvik"));
    QVERIFY(!d.usable);
    QVERIFY(d.seeded.isEmpty());
}

static bool writeVersion(const QString& path, const char* version) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(QByteArray("[\xc8\xed\xbc\xfe\xb8\xfc\xd0\xc2]\r\n\xc8\xed\xbc\xfe\xb0\xe6\xb1\xbe=") + version + "\r\n") > 0;
}

// A package upgrade installs a newer version file; the user's older copy would keep the update check
// offering the version already installed. The user's start page stays theirs.
void TstAppPaths::aNewerPackageRenewsTheVersionFileOnly() {
    QTemporaryDir tmp;
    const QString bin = tmp.filePath("usr/bin");
    const QString share = tmp.filePath("usr/share/pluvik");
    const QString user = tmp.filePath("home/Pluvik");
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share) && QDir().mkpath(user));
    QVERIFY(touch(share + "/Pluvik.htm"));
    QVERIFY(writeVersion(share + "/up.ini", "6.2.368"));
    QVERIFY(writeVersion(user + "/up.ini", "6.2.368"));
    QFile own(user + "/Pluvik.htm");
    QVERIFY(own.open(QIODevice::WriteOnly) && own.write("mine") == 4);
    own.close();

    // Same version: nothing is copied.
    QVERIFY(resolveProgramDirectory(bin, QString(), user).seeded.isEmpty());
    // A newer package: the version file is renewed, the start page left alone.
    QVERIFY(writeVersion(share + "/up.ini", "6.3"));
    QCOMPARE(resolveProgramDirectory(bin, QString(), user).seeded, QStringList{"up.ini"});
    QFile renewed(user + "/up.ini");
    QVERIFY(renewed.open(QIODevice::ReadOnly));
    QVERIFY(renewed.readAll().contains("=6.3"));
    QFile start(user + "/Pluvik.htm");
    QVERIFY(start.open(QIODevice::ReadOnly));
    QCOMPARE(start.readAll(), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(user + "/up.ini.new"));
}

QTEST_GUILESS_MAIN(TstAppPaths)
#include "tst_app_paths.moc"

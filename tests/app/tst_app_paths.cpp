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

QTEST_GUILESS_MAIN(TstAppPaths)
#include "tst_app_paths.moc"

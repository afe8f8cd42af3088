#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

#include "search/engine_table.h"
#include "shell/ini.h"
#include "update/update_check.h"
#include "update/version_number.h"

namespace pluvik {

namespace {

// The installed files a user's program directory starts from; the settings files are written by the
// program itself with their defaults.
QStringList seedFiles() {
    return {QString::fromLatin1(EngineTable::kStartPage), QString::fromLatin1(kVersionIniName)};
}

std::string installedVersionIn(const QString& iniPath) {
    Ini ini;
    ini.IniFileName = iniPath.toStdString();
    return ini.ReadIni(kVersionSection, kVersionKey, std::nullopt);
}

// The user's copy of the version file stands for the version installed. When a newer package has
// been installed since it was made, the copy would keep the update check offering what the user
// already has: the newer one replaces it.
bool outdatedByPackage(const QString& name, const QString& userCopy, const QString& installed) {
    if (name != QLatin1String(kVersionIniName)) return false;
    // A copy that names no version is the user's own file, not an older one of ours.
    const std::string mine = installedVersionIn(userCopy);
    return !mine.empty() && compareVersions(mine, installedVersionIn(installed)) == VersionOrder::Older;
}

QStringList seed(const QString& dir, const QString& dataDir) {
    QStringList copied;
    for (const QString& name : seedFiles()) {
        const QString source = QDir(dataDir).filePath(name);
        const QString target = QDir(dir).filePath(name);
        if (!QFileInfo(source).isFile()) continue;
        if (QFileInfo::exists(target)) {
            if (!outdatedByPackage(name, target, source)) continue;
            const QString fresh = target + QStringLiteral(".new");
            QFile::remove(fresh);
            if (!QFile::copy(source, fresh)) continue;
            QFile::setPermissions(fresh, QFile::permissions(fresh) | QFile::WriteOwner | QFile::ReadOwner);
            // rename() replaces the old copy in one step on the same file system.
            if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(target).constData()) != 0) {
                QFile::remove(fresh);
                continue;
            }
            copied << name;
            continue;
        }
        if (!QFile::copy(source, target)) continue;
        // The installed files are read-only for the user; the copies are theirs to change.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
        copied << name;
    }
    return copied;
}

}  // namespace

ProgramDirectory resolveProgramDirectory(const QString& executableDir, const QString& pluvikHome,
                                         const QString& userDataDir) {
    ProgramDirectory result;
    if (!pluvikHome.isEmpty()) {
        result.kind = ProgramDirectory::Kind::Environment;
        result.path = QDir(pluvikHome).absolutePath();
        return result;
    }
    if (QFileInfo::exists(startPagePath(executableDir))) {
        result.kind = ProgramDirectory::Kind::BesideExecutable;
        result.path = executableDir;
        return result;
    }
    result.kind = ProgramDirectory::Kind::UserData;
    result.path = QDir(userDataDir).absolutePath();
    result.installedDataDir = QDir::cleanPath(executableDir + QStringLiteral("/../share/pluvik"));
    result.usable = QDir().mkpath(result.path);
    if (result.usable) result.seeded = seed(result.path, result.installedDataDir);
    return result;
}

ProgramDirectory resolveProgramDirectory() {
    return resolveProgramDirectory(QCoreApplication::applicationDirPath(), qEnvironmentVariable("PLUVIK_HOME"),
                                   userDataDirectory());
}

QString programDirectory() {
    return resolveProgramDirectory().path;
}

QString kindName(ProgramDirectory::Kind kind) {
    switch (kind) {
        case ProgramDirectory::Kind::Environment:
            return QStringLiteral("PLUVIK_HOME");
        case ProgramDirectory::Kind::BesideExecutable:
            return QStringLiteral("executable");
        case ProgramDirectory::Kind::UserData:
            return QStringLiteral("user_data");
    }
    return {};
}

QString userDataDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString userCacheDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString startPagePath(const QString& programDir) {
    return programDir + "/" + EngineTable::kStartPage;
}

}  // namespace pluvik

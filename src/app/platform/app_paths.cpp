#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "search/engine_table.h"

namespace pluvik {

QString programDirectory() {
    const QString home = qEnvironmentVariable("PLUVIK_HOME");
    if (!home.isEmpty()) return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
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

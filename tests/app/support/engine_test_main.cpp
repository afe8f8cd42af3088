#include "support/engine_test_main.h"

#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>

#include "platform/engine_flags.h"

int runWithBrowserEngine(int argc, char** argv, const std::function<int()>& run) {
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine runs as the program runs it.
    pluvik::applyEngineFlags();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pluvik"));
    QApplication::setQuitOnLastWindowClosed(false);
    return run();
}

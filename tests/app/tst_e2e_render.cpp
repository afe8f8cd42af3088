// The real program on a display whose GL cannot start: it takes the software path, says so in the
// trace, and draws its pages (a GL scene graph without GL would leave the tabs black or end the program).

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTest>

#include "support/program_runner.h"
#include "support/test_server.h"

class TstE2eRender : public QObject {
    Q_OBJECT
private slots:
    void withoutGlThePagesAreDrawnInSoftware();
    void aStartSaysNothingThroughQtWarnings();
};

void TstE2eRender::withoutGlThePagesAreDrawnInSoftware() {
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    ProgramRunner program(server.proxyUrl());
    QVERIFY(program.isReady());
    program.environment().insert("QT_XCB_GL_INTEGRATION", "none");
    program.environment().remove("PLUVIK_RENDER");
    QVERIFY(program.start());
    QVERIFY2(program.waitForTrace("render_path", 60000), program.output().constData());
    QVERIFY2(program.waitForTrace("main_window_shown", 60000), program.output().constData());
    QJsonObject choice, shown;
    for (const QJsonObject& e : program.traceEvents()) {
        if (e["event"] == "render_path") choice = e;
        if (e["event"] == "main_window_shown") shown = e;
    }
    QCOMPARE(choice["path"].toString(), QStringLiteral("software"));
    QCOMPARE(choice["reason"].toString(), QStringLiteral("no_gl"));

    const auto startPagesLoaded = [&](const QJsonObject&) {
        int loaded = 0;
        for (const QJsonObject& e : program.traceEvents())
            loaded +=
                e["event"] == "load_finished" && e["ok"].toBool() && e["url"].toString().startsWith("file:");
        return loaded >= 23;
    };
    QVERIFY2(program.waitForTrace("load_finished", 90000, startPagesLoaded), program.output().constData());
    QTest::qWait(1000);  // the last frame reaches the window
    QVERIFY(program.isRunning());

    // The window as the X server holds it: the start page in the front tab shows text and pictures on
    // its background, far more than a handful of colours.
    QProcess grab;
    grab.start("import", {"-window", shown["window_id"].toString(), "png:-"});
    QVERIFY(grab.waitForFinished(30000));
    const QImage window = QImage::fromData(grab.readAllStandardOutput(), "PNG");
    QVERIFY(!window.isNull());
    QSet<QRgb> colours;
    for (int y = window.height() / 3; y < window.height(); y += 3)
        for (int x = 0; x < window.width(); x += 3) colours.insert(window.pixel(x, y));
    QVERIFY2(colours.size() > 16, qPrintable(QString::number(colours.size())));
    program.terminate();
}

// Each warning of Qt's at start is a part of the program that did not do its work (a connection
// refused, a widget set up wrong). The desktop here is a usual one: GL, a runtime directory.
void TstE2eRender::aStartSaysNothingThroughQtWarnings() {
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    ProgramRunner program(server.proxyUrl());
    QVERIFY(program.isReady());
    const QString runtime = program.homeDir() + "/run";
    QVERIFY(QDir().mkpath(runtime));
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    program.environment().insert("XDG_RUNTIME_DIR", runtime);
    // Qt's messages marked; the engine's own log lines are not Qt's.
    program.environment().insert("QT_MESSAGE_PATTERN", "qt-%{type} %{category}: %{message}");
    QVERIFY(program.start());
    QVERIFY2(program.waitForTrace("main_window_shown", 60000), program.output().constData());
    const auto startPagesLoaded = [&](const QJsonObject&) {
        int loaded = 0;
        for (const QJsonObject& e : program.traceEvents()) loaded += e["event"] == "load_finished";
        return loaded >= 23;
    };
    QVERIFY2(program.waitForTrace("load_finished", 90000, startPagesLoaded), program.output().constData());
    QStringList warnings;
    for (const QByteArray& line : program.output().split('\n'))
        if (line.startsWith("qt-warning") || line.startsWith("qt-critical"))
            warnings << QString::fromUtf8(line);
    program.terminate();
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
}

QTEST_GUILESS_MAIN(TstE2eRender)
#include "tst_e2e_render.moc"

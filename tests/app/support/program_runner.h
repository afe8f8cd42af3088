#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// Runs the built program for an end-to-end test in a home of its own: a temporary folder holding a
// fresh program directory (PLUVIK_HOME) with the data files of the build but no settings files, the
// XDG folders (browser profile, cache, history database) and the trace file (PLUVIK_TRACE). All web
// traffic goes to the given proxy, normally TestServer::proxyUrl().
class ProgramRunner {
public:
    using TracePredicate = std::function<bool(const QJsonObject&)>;

    explicit ProgramRunner(const QString& proxyUrl);
    ~ProgramRunner();  // kills the program if it still runs
    ProgramRunner(const ProgramRunner&) = delete;
    ProgramRunner& operator=(const ProgramRunner&) = delete;

    // Whether the temporary home was prepared; errorString() says why not.
    bool isReady() const;
    QString errorString() const;

    QString homeDir() const;
    QString programDir() const;
    QString tracePath() const;

    // The child's environment; change it before start().
    QProcessEnvironment& environment();
    // The program to run; PLUVIK_EXECUTABLE unless changed before start().
    void setExecutable(const QString& path);

    bool start(const QStringList& arguments = {});
    bool isRunning() const;
    // SIGTERM, then SIGKILL if the program has not ended after 5 s.
    void terminate();
    // Waits, processing events, until the program has ended.
    bool waitForExit(int timeoutMs);
    int exitCode() const;
    // What the program wrote to stdout and stderr so far.
    QByteArray output();

    // The trace: one JSON object per line, each with at least "event" and "t_ms".
    QList<QJsonObject> traceEvents() const;
    // Polls the trace while processing events until an event of that name (that pred accepts) appears.
    bool waitForTrace(const QString& event, int timeoutMs, const TracePredicate& pred = {});

    static QByteArray readFile(const QString& path);
    static bool writeFile(const QString& path, const QByteArray& data);

private:
    bool prepareHome();

    // Declared before the process, so they outlive it and its last output signal.
    QTemporaryDir m_home;
    QByteArray m_output;
    QString m_error;
    QProcessEnvironment m_env;
    QString m_executable;
    bool m_ready = false;
    QProcess m_process;
};

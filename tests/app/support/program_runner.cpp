#include "support/program_runner.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kPollMs = 25;
constexpr int kTerminateGraceMs = 5000;

// The data files laid beside the built executable. Settings files the program creates itself are left
// out, so every run starts from the defaults unless the test writes them.
bool isDataFile(const QFileInfo& info) {
    static const QStringList kExcluded = {QStringLiteral("Gn.txt"), QStringLiteral("DIY.txt"),
                                          QStringLiteral("update.txt"), QStringLiteral("Pluvik.rar")};
    static const QStringList kSuffixes = {
        QStringLiteral("htm"), QStringLiteral("html"), QStringLiteral("ini"), QStringLiteral("css"),
        QStringLiteral("js"),  QStringLiteral("png"),  QStringLiteral("ico"), QStringLiteral("gif"),
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("bmp"), QStringLiteral("svg")};
    return info.isFile() && !info.isExecutable() &&
           !kExcluded.contains(info.fileName(), Qt::CaseInsensitive) &&
           kSuffixes.contains(info.suffix(), Qt::CaseInsensitive);
}

}  // namespace

ProgramRunner::ProgramRunner(const QString& proxyUrl)
    : m_env(QProcessEnvironment::systemEnvironment()), m_executable(QStringLiteral(PLUVIK_EXECUTABLE)) {
    m_ready = prepareHome();
    if (!m_ready) return;
    const QString home = homeDir();
    m_env.insert(QStringLiteral("PLUVIK_HOME"), programDir());
    m_env.insert(QStringLiteral("PLUVIK_TRACE"), tracePath());
    m_env.insert(QStringLiteral("HOME"), home);
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    m_env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    m_env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    // https goes to the server too, which refuses CONNECT: nothing can leak to the outside.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"})
        m_env.insert(QString::fromLatin1(name), proxyUrl);
    for (const char* name : {"no_proxy", "NO_PROXY"}) m_env.insert(QString::fromLatin1(name), QString());
    for (const char* name : {"all_proxy", "ALL_PROXY", "ftp_proxy", "FTP_PROXY"})
        m_env.remove(QString::fromLatin1(name));
    // Chromium refuses to start as root with its sandbox on.
    if (geteuid() == 0) m_env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));

    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                     [this] { m_output += m_process.readAllStandardOutput(); });
}

ProgramRunner::~ProgramRunner() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kTerminateGraceMs);
    }
}

bool ProgramRunner::prepareHome() {
    if (!m_home.isValid()) {
        m_error = QStringLiteral("cannot create a temporary directory");
        return false;
    }
    const QDir home(m_home.path());
    for (const char* sub : {"program", ".config", ".local/share", ".cache"}) {
        if (!home.mkpath(QString::fromLatin1(sub))) {
            m_error = QStringLiteral("cannot create %1").arg(home.filePath(QString::fromLatin1(sub)));
            return false;
        }
    }
    const QDir runtime(QStringLiteral(PLUVIK_RUNTIME_DIR));
    for (const QFileInfo& info : runtime.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
        if (!isDataFile(info)) continue;
        const QString target = QDir(programDir()).filePath(info.fileName());
        if (!QFile::copy(info.filePath(), target)) {
            m_error = QStringLiteral("cannot copy %1").arg(info.filePath());
            return false;
        }
        // Copies of read-only source files would stay read-only; the program rewrites some of them.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return true;
}

bool ProgramRunner::isReady() const {
    return m_ready;
}

QString ProgramRunner::errorString() const {
    return m_error;
}

QString ProgramRunner::homeDir() const {
    return m_home.path();
}

QString ProgramRunner::programDir() const {
    return m_home.filePath(QStringLiteral("program"));
}

QString ProgramRunner::tracePath() const {
    return m_home.filePath(QStringLiteral("trace.jsonl"));
}

QProcessEnvironment& ProgramRunner::environment() {
    return m_env;
}

void ProgramRunner::setExecutable(const QString& path) {
    m_executable = path;
}

bool ProgramRunner::start(const QStringList& arguments) {
    if (!m_ready) return false;
    if (m_process.state() != QProcess::NotRunning) {
        m_error = QStringLiteral("the program is already running");
        return false;
    }
    m_process.setProgram(m_executable);
    m_process.setArguments(arguments);
    m_process.setProcessEnvironment(m_env);
    m_process.setWorkingDirectory(programDir());
    m_process.start();
    if (!m_process.waitForStarted()) {
        m_error = QStringLiteral("cannot start %1: %2").arg(m_executable, m_process.errorString());
        return false;
    }
    return true;
}

bool ProgramRunner::isRunning() const {
    return m_process.state() != QProcess::NotRunning;
}

void ProgramRunner::terminate() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(kTerminateGraceMs)) {
        m_process.kill();
        m_process.waitForFinished(kTerminateGraceMs);
    }
}

bool ProgramRunner::waitForExit(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (m_process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(kPollMs);
    }
    return true;
}

int ProgramRunner::exitCode() const {
    return m_process.exitCode();
}

QByteArray ProgramRunner::output() {
    m_output += m_process.readAllStandardOutput();
    return m_output;
}

QList<QJsonObject> ProgramRunner::traceEvents() const {
    QList<QJsonObject> events;
    const QByteArray data = readFile(tracePath());
    qsizetype start = 0;
    // Only whole lines count: the program may be in the middle of writing the last one.
    for (qsizetype end = data.indexOf('\n'); end >= 0; start = end + 1, end = data.indexOf('\n', start)) {
        const QJsonDocument doc = QJsonDocument::fromJson(data.mid(start, end - start));
        if (doc.isObject()) events.append(doc.object());
    }
    return events;
}

bool ProgramRunner::waitForTrace(const QString& event, int timeoutMs, const TracePredicate& pred) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        // Read once more after the program has ended, then give up: nothing new can come.
        const bool ended = !isRunning();
        for (const QJsonObject& entry : traceEvents()) {
            if (entry.value(QStringLiteral("event")).toString() == event && (!pred || pred(entry)))
                return true;
        }
        if (ended || deadline.hasExpired()) return false;
        QTest::qWait(kPollMs);
    }
}

QByteArray ProgramRunner::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool ProgramRunner::writeFile(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(data);
    return file.commit();
}

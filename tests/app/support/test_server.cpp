#include "support/test_server.h"

#include <sys/prctl.h>

#include <csignal>

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kPollMs = 25;

QList<QJsonObject> parseJsonLines(const QByteArray& data) {
    QList<QJsonObject> objects;
    qsizetype start = 0;
    // Only whole lines count: the writer may be in the middle of the last one.
    for (qsizetype end = data.indexOf('\n'); end >= 0; start = end + 1, end = data.indexOf('\n', start)) {
        const QByteArray line = data.mid(start, end - start).trimmed();
        if (line.isEmpty()) continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject()) objects.append(doc.object());
    }
    return objects;
}

}  // namespace

TestServer::TestServer() {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary directory");
        return;
    }
    QString python = qEnvironmentVariable("PLUVIK_PYTHON");
    if (python.isEmpty()) python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 not found");
        return;
    }
    const QString portFile = m_dir.filePath(QStringLiteral("port"));
    m_process.setProgram(python);
    m_process.setArguments({QStringLiteral(PLUVIK_SOURCE_DIR "/tests/server/server.py"),
                            QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--log"), logPath(),
                            QStringLiteral("--port-file"), portFile});
    // Its stderr carries only real faults of the server; let them show in the test output.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // It ends with the test even when the test crashes: left behind, it would hold the test's output
    // open, and with it whatever else the test inherited (a build lock).
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start();
    if (!m_process.waitForStarted()) {
        m_error = QStringLiteral("cannot start %1: %2").arg(python, m_process.errorString());
        return;
    }

    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired()) {
        QFile file(portFile);
        if (file.open(QIODevice::ReadOnly)) {
            bool ok = false;
            const uint port = file.readAll().trimmed().toUInt(&ok);
            if (ok && port > 0 && port <= 65535) {
                m_port = static_cast<quint16>(port);
                return;
            }
        }
        if (m_process.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("the server exited with code %1").arg(m_process.exitCode());
            return;
        }
        QTest::qWait(kPollMs);
    }
    m_error = QStringLiteral("the server did not report its port in time");
}

TestServer::~TestServer() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool TestServer::isRunning() const {
    return m_port != 0 && m_process.state() == QProcess::Running;
}

QString TestServer::errorString() const {
    return m_error;
}

quint16 TestServer::port() const {
    return m_port;
}

QString TestServer::proxyUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString TestServer::logPath() const {
    return m_dir.filePath(QStringLiteral("requests.jsonl"));
}

void TestServer::useAsProxy() const {
    qputenv("http_proxy", proxyUrl().toLatin1());
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", m_port));
}

TestServer::RequestPredicate TestServer::to(const QString& host, const QString& path) {
    return [host, path](const QJsonObject& r) {
        return r["host"].toString() == host && (path.isEmpty() || r["path"].toString() == path);
    };
}

QList<QJsonObject> TestServer::requests(const RequestPredicate& pred) const {
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QJsonObject> all = parseJsonLines(file.readAll());
    if (pred) all.removeIf([&](const QJsonObject& request) { return !pred(request); });
    return all;
}

bool TestServer::waitForRequest(const RequestPredicate& pred, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (!requests(pred).isEmpty()) return true;
        if (deadline.hasExpired()) return false;
        QTest::qWait(kPollMs);
    }
}

bool TestServer::control(const QString& query) const {
    return rawGet(QStringLiteral("http://control.test/set?") + query) == 200;
}

bool TestServer::resetControl() const {
    return rawGet(QStringLiteral("http://control.test/reset")) == 200 && clearRequests();
}

bool TestServer::clearRequests() const {
    return rawGet(QStringLiteral("http://control.test/clear")) == 200;
}

int TestServer::rawGet(const QString& url, QByteArray* body, int timeoutMs) const {
    if (m_port == 0) return 0;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    if (!socket.waitForConnected(timeoutMs)) return 0;
    socket.write("GET " + url.toLatin1() + " HTTP/1.0\r\nUser-Agent: TestServer\r\n\r\n");
    // HTTP/1.0: the server closes the connection after the answer.
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray response;
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        response += socket.readAll();
    }
    response += socket.readAll();

    const qsizetype headerEnd = response.indexOf("\r\n\r\n");
    if (!response.startsWith("HTTP/1.") || headerEnd < 0) return 0;
    if (body) *body = response.mid(headerEnd + 4);
    const QList<QByteArray> statusLine = response.left(response.indexOf("\r\n")).split(' ');
    return statusLine.size() >= 2 ? statusLine.at(1).toInt() : 0;
}

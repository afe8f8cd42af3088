#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <functional>

// The local HTTP server of tests/server/server.py, run as a child process for the life of this object.
// The program under test uses it as its http_proxy; it answers for every host and logs every request
// (one JSON object per line: t, method, host, path, query, target, user_agent, cookie, status).
class TestServer {
public:
    using RequestPredicate = std::function<bool(const QJsonObject&)>;

    // Starts the server and waits (processing events) until it listens; check isRunning().
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    bool isRunning() const;
    QString errorString() const;
    quint16 port() const;
    QString proxyUrl() const;  // "http://127.0.0.1:PORT"
    QString logPath() const;

    // Sets the server as the proxy of this process, for Qt and for the browser engine alike.
    void useAsProxy() const;

    // Accepts the requests for `host`, and with a path only those for that path.
    static RequestPredicate to(const QString& host, const QString& path = {});
    // Every request logged so far, oldest first; with a predicate, only those it accepts.
    QList<QJsonObject> requests(const RequestPredicate& pred = {}) const;
    // Polls the log while processing Qt events until a request matches or the time is up.
    bool waitForRequest(const RequestPredicate& pred, int timeoutMs = 10000) const;

    // Changes the update-file switches: control("package_size=1000&truncate_at=500").
    // Returns whether the server accepted every switch.
    bool control(const QString& query) const;
    // A fresh start for the next test: restores the default switches and empties the request log.
    bool resetControl() const;
    // Empties the request log only.
    bool clearRequests() const;

    // One GET through the server with a raw socket (HTTP/1.0); returns the status code, 0 on failure.
    int rawGet(const QString& url, QByteArray* body = nullptr, int timeoutMs = 10000) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};

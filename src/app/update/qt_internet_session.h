#pragma once

#include <QByteArray>
#include <QNetworkProxy>
#include <functional>
#include <memory>
#include <optional>

#include "platform/internet_session.h"

class QEventLoop;
class QNetworkAccessManager;
class QNetworkReply;

namespace pluvik {

// The Internet session over Qt Network. It follows the application's proxy settings (the program
// turns on the system configuration, so http_proxy counts), sends the agent name as the User-Agent,
// and for CachePolicy::AlwaysFromServer goes to the server past every cache.
//
// Opening and reading wait in a local event loop, so the windows stay alive meanwhile. A wait gives up
// after the stall timeout without any data; abort() ends it at once.
class QtInternetSession : public InternetSession {
public:
    static constexpr int kDefaultStallTimeoutMs = 30000;
    // What Qt may buffer ahead of the reader; the rest waits in the socket, so memory stays flat.
    static constexpr qint64 kReadAheadBytes = 64 * 1024;

    QtInternetSession();
    ~QtInternetSession() override;

    // Instead of the application's proxy (tests point this at their local server).
    void setProxy(const QNetworkProxy& proxy) { m_proxy = proxy; }
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }

    bool open(const std::string& agent) override;
    std::unique_ptr<InternetUrl> openUrl(const std::string& url, CachePolicy policy,
                                         std::string* error) override;
    void close() override;
    void abort() override;

    enum class WaitResult { Ready, TimedOut, Cancelled };
    // Runs the window events until `ready` holds for `reply`, the stall timeout passes or abort() is
    // called. Used by the opened URLs too.
    WaitResult waitFor(QNetworkReply* reply, const std::function<bool()>& ready);

private:
    WaitResult waitOnce(QNetworkReply* reply, int timeoutMs);

    std::unique_ptr<QNetworkAccessManager> m_manager;
    std::optional<QNetworkProxy> m_proxy;
    QByteArray m_agent;
    int m_stallTimeoutMs = kDefaultStallTimeoutMs;
    bool m_open = false;
    bool m_aborted = false;
    QEventLoop* m_waiting = nullptr;
};

}  // namespace pluvik

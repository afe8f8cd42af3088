#include "update/qt_internet_session.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "platform/qt_text.h"

namespace pluvik {
namespace {

bool isRedirect(int status) {
    return status >= 300 && status <= 399;
}

class QtInternetUrl : public InternetUrl {
public:
    QtInternetUrl(QtInternetSession& session, QNetworkReply* reply) : m_session(session), m_reply(reply) {}

    ~QtInternetUrl() override {
        if (!m_reply) return;
        m_reply->disconnect();
        m_reply->abort();
        // The reply may still be inside its own signal emission further up the stack.
        m_reply->deleteLater();
    }

    int statusCode() const override {
        return m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
    }

    std::optional<std::int64_t> contentLength() const override {
        if (!m_reply) return std::nullopt;
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        bool ok = false;
        const qlonglong value = length.toLongLong(&ok);
        if (!length.isValid() || !ok || value < 0) return std::nullopt;
        return value;
    }

    ReadResult read(char* buffer, std::size_t capacity) override {
        if (!m_reply) return {ReadStatus::Failed, 0};
        QPointer<QNetworkReply> reply = m_reply;
        switch (m_session.waitFor(
            reply, [reply] { return !reply || reply->bytesAvailable() > 0 || reply->isFinished(); })) {
            case QtInternetSession::WaitResult::Ready:
                break;
            case QtInternetSession::WaitResult::TimedOut:
                return {ReadStatus::TimedOut, 0};
            case QtInternetSession::WaitResult::Cancelled:
                return {ReadStatus::Cancelled, 0};
        }
        if (!m_reply) return {ReadStatus::Failed, 0};
        if (m_reply->bytesAvailable() > 0) {
            const qint64 n = m_reply->read(buffer, static_cast<qint64>(capacity));
            if (n > 0) return {ReadStatus::Data, static_cast<std::size_t>(n)};
        }
        switch (m_reply->error()) {
            case QNetworkReply::NoError:
                return {ReadStatus::End, 0};
            case QNetworkReply::OperationCanceledError:
                return {ReadStatus::Cancelled, 0};
            default:
                return {ReadStatus::Failed, 0};
        }
    }

private:
    QtInternetSession& m_session;
    QPointer<QNetworkReply> m_reply;
};

}  // namespace

QtInternetSession::QtInternetSession() = default;

QtInternetSession::~QtInternetSession() {
    abort();
}

bool QtInternetSession::open(const std::string& agent) {
    if (m_aborted) return false;
    if (!m_manager) {
        m_manager = std::make_unique<QNetworkAccessManager>();
        if (m_proxy) m_manager->setProxy(*m_proxy);
    }
    m_agent = QByteArray::fromStdString(agent);
    m_open = true;
    return true;
}

std::unique_ptr<InternetUrl> QtInternetSession::openUrl(const std::string& url, CachePolicy policy,
                                                        std::string* error) {
    auto fail = [error](const QString& why) -> std::unique_ptr<InternetUrl> {
        if (error) *error = toStd(why);
        return nullptr;
    };
    if (!m_open || !m_manager) return fail(QStringLiteral("the session is not open"));
    if (m_aborted) return fail(QStringLiteral("cancelled"));
    const QUrl address(toQ(url));
    if (!address.isValid()) return fail(QStringLiteral("not a valid address"));

    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_agent);
    // The body is saved as it comes, byte for byte; a compressed transfer would make the announced
    // length mean something else than the bytes received.
    request.setRawHeader("Accept-Encoding", "identity");
    if (policy == CachePolicy::AlwaysFromServer) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }
    QNetworkReply* reply = m_manager->get(request);
    reply->setReadBufferSize(kReadAheadBytes);

    // The head is there once a final status is known; redirects are followed by Qt itself.
    const QPointer<QNetworkReply> guard(reply);
    const WaitResult waited = waitFor(reply, [guard] {
        if (!guard || guard->isFinished()) return true;
        const QVariant status = guard->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        return status.isValid() && !isRedirect(status.toInt());
    });
    if (!guard) return fail(QStringLiteral("the request went away"));
    auto discard = [reply] {
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
    };
    if (waited == WaitResult::Cancelled) {
        discard();
        return fail(QStringLiteral("cancelled"));
    }
    if (waited == WaitResult::TimedOut) {
        discard();
        return fail(QStringLiteral("the server did not answer"));
    }
    if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        // Refused, unknown host, unreachable proxy: no answer at all.
        const QString why = reply->errorString();
        discard();
        return fail(why);
    }
    return std::make_unique<QtInternetUrl>(*this, reply);
}

void QtInternetSession::close() {
    m_open = false;
}

void QtInternetSession::abort() {
    m_aborted = true;
    if (m_waiting) m_waiting->quit();
}

QtInternetSession::WaitResult QtInternetSession::waitFor(QNetworkReply* reply,
                                                         const std::function<bool()>& ready) {
    // Every piece of data, every header and the end reset the stall clock by ending a wait.
    for (;;) {
        if (m_aborted) return WaitResult::Cancelled;
        if (ready()) return WaitResult::Ready;
        const WaitResult result = waitOnce(reply, m_stallTimeoutMs);
        if (result != WaitResult::Ready) return result;
    }
}

QtInternetSession::WaitResult QtInternetSession::waitOnce(QNetworkReply* reply, int timeoutMs) {
    QEventLoop loop;
    bool woken = false;
    bool timedOut = false;
    auto wake = [&] {
        woken = true;
        loop.quit();
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, wake);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, wake);
    QObject::connect(reply, &QNetworkReply::finished, &loop, wake);
    QObject::connect(reply, &QNetworkReply::errorOccurred, &loop, wake);
    QObject::connect(reply, &QObject::destroyed, &loop, wake);
    QTimer stall;
    stall.setSingleShot(true);
    QObject::connect(&stall, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    stall.start(timeoutMs);

    QEventLoop* outer = m_waiting;
    m_waiting = &loop;
    loop.exec();
    m_waiting = outer;

    if (m_aborted) return WaitResult::Cancelled;
    if (timedOut && !woken) return WaitResult::TimedOut;
    // Neither the reply nor the timer ended the wait: the program is quitting its event loops.
    if (!woken) return WaitResult::Cancelled;
    return WaitResult::Ready;
}

}  // namespace pluvik

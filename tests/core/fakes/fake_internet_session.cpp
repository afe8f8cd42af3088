#include "fakes/fake_internet_session.h"

#include <algorithm>

namespace pluvik::test {
namespace {

class FakeUrl : public InternetUrl {
public:
    FakeUrl(FakeInternetSession& session, FakeResponse response)
        : m_session(session), m_response(std::move(response)) {
        ++m_session.liveUrls;
    }
    ~FakeUrl() override { --m_session.liveUrls; }

    int statusCode() const override { return m_response.status; }
    std::optional<std::int64_t> contentLength() const override {
        if (!m_response.announceLength) return std::nullopt;
        return m_response.size();
    }

    ReadResult read(char* buffer, std::size_t capacity) override {
        ++m_session.reads;
        m_session.largestRead = std::max(m_session.largestRead, capacity);
        if (m_session.beforeRead) m_session.beforeRead(m_position);
        if (m_session.aborted) return {ReadStatus::Cancelled, 0};

        std::int64_t end = m_response.size();
        using Fault = FakeResponse::Fault;
        if (m_response.fault != Fault::None) {
            end = std::min(end, m_response.faultAt);
            if (m_position >= end) {
                switch (m_response.fault) {
                    case Fault::EndEarly:
                        return {ReadStatus::End, 0};
                    case Fault::Fail:
                        return {ReadStatus::Failed, 0};
                    case Fault::TimeOut:
                        return {ReadStatus::TimedOut, 0};
                    case Fault::None:
                        break;
                }
            }
        }
        if (m_position >= end) return {ReadStatus::End, 0};
        const auto piece = static_cast<std::size_t>(
            std::min<std::int64_t>({static_cast<std::int64_t>(capacity),
                                    static_cast<std::int64_t>(m_response.maxPiece), end - m_position}));
        for (std::size_t i = 0; i < piece; ++i)
            buffer[i] = m_response.byteAt(m_position + static_cast<std::int64_t>(i));
        m_position += static_cast<std::int64_t>(piece);
        return {ReadStatus::Data, piece};
    }

private:
    FakeInternetSession& m_session;
    FakeResponse m_response;
    std::int64_t m_position = 0;
};

}  // namespace

std::string generatedBody(std::int64_t size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (std::int64_t i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i % 251);
    return bytes;
}

bool FakeInternetSession::open(const std::string& agent) {
    agents.push_back(agent);
    if (rootFails || aborted) return false;
    rootOpen = true;
    return true;
}

std::unique_ptr<InternetUrl> FakeInternetSession::openUrl(const std::string& url, CachePolicy policy,
                                                          std::string* error) {
    opened.push_back(url);
    policies.push_back(policy);
    const auto found = responses.find(url);
    if (!rootOpen || aborted || found == responses.end()) {
        if (error) *error = "cannot connect";
        return nullptr;
    }
    return std::make_unique<FakeUrl>(*this, found->second);
}

void FakeInternetSession::close() {
    liveUrlsAtClose = liveUrls;
    rootOpen = false;
    ++closes;
}

}  // namespace pluvik::test

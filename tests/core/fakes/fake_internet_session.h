#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/internet_session.h"

namespace pluvik::test {

// What the fake server answers for one URL.
struct FakeResponse {
    enum class Fault {
        None,
        EndEarly,  // after `faultAt` bytes the body just ends, though the full length was announced
        Fail,      // after `faultAt` bytes the read fails (a reset)
        TimeOut,   // after `faultAt` bytes the read times out (a stalled server)
    };

    int status = 200;
    std::string body{};
    // When set, the body is this many bytes of the pattern i % 251, made up as it is read, never held.
    std::optional<std::int64_t> generatedSize{};
    bool announceLength = true;  // send the body's full length as its Content-Length
    Fault fault = Fault::None;
    std::int64_t faultAt = 0;
    std::size_t maxPiece = 2048;  // the most one read hands out, however much was asked for

    std::int64_t size() const {
        return generatedSize ? *generatedSize : static_cast<std::int64_t>(body.size());
    }
    char byteAt(std::int64_t i) const {
        return generatedSize ? static_cast<char>(i % 251) : body[static_cast<std::size_t>(i)];
    }
};

// The pattern of a generated body, for comparing with what arrived.
std::string generatedBody(std::int64_t size);

// An Internet session over a table of answers, recording how it was used. A URL that is not in the
// table cannot be opened (an unreachable server).
class FakeInternetSession : public InternetSession {
public:
    bool open(const std::string& agent) override;
    std::unique_ptr<InternetUrl> openUrl(const std::string& url, CachePolicy policy,
                                         std::string* error) override;
    void close() override;
    void abort() override { aborted = true; }

    // Set up by the test.
    std::map<std::string, FakeResponse> responses;
    bool rootFails = false;
    // Called before every read with the number of bytes this URL delivered so far: tests move the
    // clock, press buttons or give up from here, as the window would between two pieces.
    std::function<void(std::int64_t delivered)> beforeRead;

    // What happened.
    std::vector<std::string> agents;
    std::vector<std::string> opened;  // URLs, in order
    std::vector<CachePolicy> policies;
    std::size_t largestRead = 0;
    int reads = 0;
    int liveUrls = 0;          // opened and not yet destroyed
    int liveUrlsAtClose = -1;  // how many were still open when the root was closed
    bool rootOpen = false;
    int closes = 0;
    bool aborted = false;
};

}  // namespace pluvik::test

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pluvik {

// Where an opened URL may be answered from.
enum class CachePolicy {
    AlwaysFromServer,  // never from a cache: the request goes to the server and bypasses caches
    CacheAllowed,
};

// Why a read ended without data.
enum class ReadStatus {
    Data,       // `bytes` bytes were delivered
    End,        // the body ended normally
    Failed,     // the connection broke (reset, closed early, protocol fault)
    TimedOut,   // no data arrived for longer than the session waits
    Cancelled,  // abort() was called, or the program is shutting down
};

struct ReadResult {
    ReadStatus status = ReadStatus::End;
    std::size_t bytes = 0;
};

// One opened URL: the answer's status line and headers have arrived, the body is read in pieces.
// Destroying it closes the handle.
class InternetUrl {
public:
    virtual ~InternetUrl() = default;

    // The HTTP status code of the answer, 0 when the protocol has none.
    virtual int statusCode() const = 0;
    // The body length the server announced, if it announced one.
    virtual std::optional<std::int64_t> contentLength() const = 0;
    // Reads up to `capacity` bytes into `buffer`, waiting for them if none are there yet. The wait
    // lets the program go on handling its window events.
    virtual ReadResult read(char* buffer, std::size_t capacity) = 0;
};

// An Internet session: opened once with the program's agent name, then used to open URLs. Opening and
// reading wait for the network while the program's events keep running.
class InternetSession {
public:
    virtual ~InternetSession() = default;

    // Opens the session root; false when no session can be had.
    virtual bool open(const std::string& agent) = 0;
    // Sends a GET for `url` and waits for the answer's head. Nothing when the server cannot be
    // reached, refuses, or the session is not open; `error` (when given) then says why, in English.
    virtual std::unique_ptr<InternetUrl> openUrl(const std::string& url, CachePolicy policy,
                                                 std::string* error = nullptr) = 0;
    // Closes the session root. URLs opened from it must be destroyed first.
    virtual void close() = 0;

    // Gives up: a wait in progress returns at once with Cancelled, and later opens and reads fail
    // the same way. Safe to call from the event processing inside a wait.
    virtual void abort() = 0;
};

}  // namespace pluvik

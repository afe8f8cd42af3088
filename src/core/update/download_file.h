#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/internet_session.h"
#include "platform/tick_counter.h"

namespace pluvik {

// The agent name the update check introduces itself with.
inline constexpr const char* kUpdateUserAgent = "VB OpenUrl";
// The most the download asks the session for at a time; each piece goes straight to the file.
inline constexpr std::size_t kDownloadChunkSize = 2048;

enum class DownloadOutcome {
    Complete,     // a success status and every announced byte: the file is in place
    OpenFailed,   // no session, or the server could not be reached ("打开URL错误")
    HttpError,    // the server answered with a status that is not a success
    BrokeOff,     // the connection ended before the body was whole
    TimedOut,     // the server stopped sending
    Cancelled,    // the window gave up
    WriteFailed,  // the file could not be written in the program directory
};

struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::OpenFailed;
    std::int64_t total = 0;  // bytes received and written
    int statusCode = 0;
    std::optional<std::int64_t> expected;  // the length the server announced

    bool complete() const { return outcome == DownloadOutcome::Complete; }
};

// How the download talks to its window. Every member may be empty.
struct DownloadHooks {
    // Puts a text into the status line and repaints it at once.
    std::function<void(const std::string&)> showStatus;
    // Lets pending window events (repaints, clicks) run before the next read.
    std::function<void()> processEvents;
    // True once the window wants the transfer to stop.
    std::function<bool()> cancelled;
};

// The name a download is written under until it is complete.
std::string partialDownloadName(const std::string& fileName);

// Fetches `url` into the file `fileName` of `programDir`, always from the server, in pieces of at most
// kDownloadChunkSize bytes, showing progress and speed in the status line after every piece, and
// returns what happened. The speed is the average since the start for the first second, then the rate
// over the last second, renewed once a second.
//
// The body goes to a temporary file beside the target, which is renamed to `fileName` only when the
// transfer is complete: a success status, and exactly the announced length when the server announced
// one. Anything else removes the temporary file and leaves an earlier file of that name as it was; the
// status line then says what went wrong.
DownloadResult DownloadFile(InternetSession& session, TickCounter& ticks,
                            const std::filesystem::path& programDir, const std::string& url,
                            const std::string& fileName, const DownloadHooks& hooks);

}  // namespace pluvik

#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browse/download_rules.h"

namespace pluvik {

// What the downloads ask of the engine, the disk and the download window, in the order to carry it
// out. Paths are UTF-8.
enum class DownloadAction {
    Accept,     // accept the engine's request, writing to the partial file `path`
    Retry,      // accept the engine's new request for a download it retries, into the same `path`
    Refuse,     // cancel the request: a save dialog is open
    Ask,        // once the engine's handler has returned: the save dialog 保存文件, proposing `path`
    Decline,    // the user said no: cancel the download, remove the partial file `path`
    Chosen,     // a running row for the file `target` in the download window, shown
    Cancelled,  // remove the partial file `path`; the row says 已取消
    Failed,     // remove the partial file `path`; the row says 下载失败：`text`
    Rename,     // rename `path` to `target` (replacing it) and report the outcome with `moved`
    Copy,       // copy `path` to `target` and report the outcome with `copied`
    Remove,     // remove the file `path`
    Finished,   // the file is whole at `target`; the row says 已完成
    Kept,       // `target` could not be written (`text` says why); the whole file stays at `path`
    Abandon,    // the program exits: cancel the download, remove the partial file `path`
};

struct DownloadStep {
    DownloadAction action;
    std::uint32_t id;
    std::string path;
    std::string target;
    std::string text;
    bool operator==(const DownloadStep&) const = default;
};

using DownloadSteps = std::vector<DownloadStep>;

enum class DownloadEnd { Completed, Cancelled, Interrupted };
enum class MoveOutcome { Done, OtherDisk, Failed };

// Every download the engine hands the program, from its request to its file. The engine wants a
// download accepted before its handler returns, and runs nothing while a dialog opened there waits:
// so a download is accepted at once into a partial file in the download folder, the save dialog
// follows, and while it is open every other download a page starts is refused. The file gets the
// chosen name only when it is whole; a no (no answer, an empty one, a folder) cancels it and removes
// the partial file. The engine's ids name the downloads; the caller reports what happened to them.
class DownloadSession {
public:
    // `exists` tells whether a file is on the disk under a path.
    explicit DownloadSession(PathTaken exists) : m_exists(std::move(exists)) {}

    // The engine asks for download `id`, offering `offeredName` (as the server sent it), to wait in
    // `folder`. The engine of Qt 6.4 asks again, with a new request, when it retries a download after
    // a network error: that one goes on into the same partial file.
    DownloadSteps requested(std::uint32_t id, std::string_view offeredName, const std::string& folder);
    // The save dialog's answer: the path chosen, none when cancelled.
    DownloadSteps answered(std::uint32_t id, const std::optional<std::string>& path, bool isFolder);
    // The engine ended the download; until the user has chosen, the end waits for the answer.
    DownloadSteps ended(std::uint32_t id, DownloadEnd end, const std::string& reason = {});
    // How the last Rename went; `error` says why it failed.
    DownloadSteps moved(std::uint32_t id, MoveOutcome outcome, const std::string& error = {});
    // How the last Copy went.
    DownloadSteps copied(std::uint32_t id, bool ok);
    // The program exits: every download still running is abandoned.
    DownloadSteps exiting();

    bool asking() const { return m_asking; }
    bool running(std::uint32_t id) const { return m_downloads.count(id) > 0; }

private:
    struct Download {
        std::string partialPath;
        std::string finalPath;  // empty until the user has chosen
        std::optional<DownloadEnd> end;
        std::string endReason;
        std::string copyPath;   // the copy beside the final name, on another disk
        std::string moveError;  // why the rename out of the download folder failed
    };

    DownloadSteps finish(std::uint32_t id, Download& download);
    bool partialTaken(const std::string& path) const;

    PathTaken m_exists;
    std::map<std::uint32_t, Download> m_downloads;
    bool m_asking = false;  // a save dialog is open or about to open
};

}  // namespace pluvik

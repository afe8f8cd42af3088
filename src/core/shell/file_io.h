#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pluvik {

// Whole contents of a regular file, or nothing when it is missing, not a regular file or unreadable.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// True for an existing regular file (a directory of that name does not count).
bool fileExists(const std::filesystem::path& path);

// Replaces the file's whole contents so that a reader never sees half a file: the bytes go to a
// temporary file in the same directory, are flushed to the disk and the temporary file is renamed over
// the target. On any failure the temporary file is removed, the old file stays as it was, and the
// function returns false with a short reason for the user, in Chinese, in *error (when given). An
// existing file keeps its permission bits.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

// Gives a file the permission bits of the user's ordinary new files (0666 less the umask), and a
// folder, with everything in it, those of new folders (0777 less the umask): the engine writes some
// files for their owner alone. Links are left alone. False when a mode could not be set.
bool giveOrdinaryPermissions(const std::filesystem::path& path);

// How the stores write their files; tests pass a writer that fails to simulate a full disk.
using FileWriter =
    std::function<bool(const std::filesystem::path& path, std::string_view bytes, std::string* error)>;

}  // namespace pluvik

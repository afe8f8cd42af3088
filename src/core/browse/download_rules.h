#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pluvik {

// The engine writes a download to a name of its own beside the partial file until it is whole.
inline constexpr const char* kEngineDownloadSuffix = ".download";

// Whether a path names something already on the disk (or, for partial files, about to be).
using PathTaken = std::function<bool(const std::string&)>;

// The name a download is offered under, from whatever the server sent: one plain file name, never a
// path. Only the last part of a path counts ("../../x", "/etc/x" and "C:\x" all give "x"); a drive
// prefix goes; bytes that are not UTF-8 are read as GBK, and so are raw bytes the engine read as
// Latin-1 when they make whole GBK (or UTF-8); control characters and the characters a
// file name cannot hold on the user's systems become "_"; dots and blanks at either end go; a name a
// Windows disk refuses (CON, nul.txt, COM1...) gets a leading "_"; a long name is cut, never inside a
// character, keeping its extension. What is left of nothing readable is "下载". UTF-8.
std::string downloadFileName(std::string_view offered);

// `folder/name`, or "folder/NAME (2).EXT", "NAME (3).EXT", ... when that file exists: the save
// dialog proposes a name that replaces nothing.
std::string freeDownloadPath(const std::string& folder, const std::string& name, const PathTaken& exists);

// The path a download is written to until it is whole: the final path plus ".part", or
// "NAME (2).part", "NAME (3).part", ... when that one is taken (a file already there, or another
// running download writing to it). Writing beside the final name means the rename at the end never
// crosses file systems, and the final name is only ever touched by a whole file.
std::string partialDownloadPath(const std::string& finalPath, const PathTaken& taken);

// What a download row shows of its progress: "1.00 MB / 3.00 MB (33%)", or "1.00 MB" while the
// server has not told the size.
std::string downloadProgressText(std::int64_t received, std::int64_t total);

}  // namespace pluvik

#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace pluvik {

// The path a download is written to until it is whole: the final path plus ".part", or
// "NAME (2).part", "NAME (3).part", ... when that one is taken (a file already there, or another
// running download writing to it). Writing beside the final name means the rename at the end never
// crosses file systems, and the final name is only ever touched by a whole file.
std::string partialDownloadPath(const std::string& finalPath, const std::function<bool(const std::string&)>& taken);

// What a download row shows of its progress: "1.00 MB / 3.00 MB (33%)", or "1.00 MB" while the
// server has not told the size.
std::string downloadProgressText(std::int64_t received, std::int64_t total);

}  // namespace pluvik

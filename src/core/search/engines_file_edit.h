#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/engine_table.h"
#include "shell/file_io.h"

namespace pluvik {

// A change of the engines file: the engine with this key (engineKeys) searches this address from now
// on, or, with none, its built-in one again.
struct EngineChange {
    std::string key;
    std::optional<AddressTemplate> address;
};

// The engines file's text (UTF-8) with the changes made: the last line of a changed key takes the new
// value in its place, its earlier lines go, a key the file lacks gets a line at the end; a key put
// back loses all its lines. Every other line (comments, blank lines, lines of keys not changed, lines
// the program does not take) stays byte for byte, and so do the line endings.
std::string editEnginesText(std::string_view utf8Text, const std::vector<EngineChange>& changes);

// Makes the changes in the engines file `file` (a missing one is empty): the file as it was is kept
// beside it as "engines.txt.bak", then the new one replaces it whole through `write`, in the encoding
// the old one was written in (UTF-8 stays UTF-8, with its byte-order mark if it had one; GBK and a new
// file are GBK). False with a reason for the user in *error when the file could not be read or
// written; the file is then as it was.
bool saveEngineChanges(const std::filesystem::path& file, const std::vector<EngineChange>& changes,
                       std::string* error = nullptr, const FileWriter& write = writeFileAtomically);

}  // namespace pluvik

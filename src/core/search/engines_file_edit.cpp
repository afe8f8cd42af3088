#include "search/engines_file_edit.h"

#include <map>

#include "search/engine_addresses.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
    std::string_view text;    // without its ending
    std::string_view ending;  // "\n", "\r\n" or "" for a last line without one
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        std::string_view ending = end == std::string_view::npos ? std::string_view{} : "\n";
        if (!ending.empty() && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            ending = "\r\n";
        }
        lines.push_back({line, ending});
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// The key of a line as readKeyLines reads it; empty for a blank line, a comment or a line without '='.
std::string keyOf(std::string_view line) {
    const std::string_view trimmed = asciiTrimmed(line);
    if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == ';') return {};
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return {};
    return asciiLowered(asciiTrimmed(trimmed.substr(0, equals)));
}

std::string lineFor(const EngineChange& change) {
    return change.key + "=" + engineLineValue(*change.address);
}

}  // namespace

std::string editEnginesText(std::string_view utf8Text, const std::vector<EngineChange>& changes) {
    std::map<std::string, const EngineChange*, std::less<>> changed;
    for (const EngineChange& change : changes) changed[change.key] = &change;
    const std::vector<Line> lines = splitLines(utf8Text);
    std::map<std::string, std::size_t, std::less<>> lastLine;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string key = keyOf(lines[i].text);
        if (changed.contains(key)) lastLine[key] = i;
    }
    const std::string_view newLine =
        !lines.empty() && lines.front().ending == "\r\n" ? std::string_view("\r\n") : "\n";

    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string key = keyOf(lines[i].text);
        const auto change = changed.find(key);
        if (change == changed.end()) {
            out.append(lines[i].text).append(lines[i].ending);
        } else if (lastLine[key] == i && change->second->address) {
            out.append(lineFor(*change->second)).append(lines[i].ending);
        }
    }
    for (const EngineChange& change : changes) {
        if (!change.address || lastLine.contains(change.key) || changed[change.key] != &change) continue;
        if (!out.empty() && out.back() != '\n') out.append(newLine);
        out.append(lineFor(change)).append(newLine);
    }
    return out;
}

bool saveEngineChanges(const std::filesystem::path& file, const std::vector<EngineChange>& changes,
                       std::string* error, const FileWriter& write) {
    std::string old;
    if (fileExists(file)) {
        const std::optional<std::string> bytes = readFileBytes(file);
        if (!bytes) {
            if (error) *error = "无法读取 " + file.filename().string() + "。";
            return false;
        }
        old = *bytes;
    }
    const bool hadMark = old.starts_with(kByteOrderMark);
    const std::string text = textFileToUtf8(old);
    const bool wasUtf8 = !old.empty() && (hadMark || text == old);
    const std::string edited = editEnginesText(text, changes);

    std::string bytes;
    if (wasUtf8) {
        // Without its mark the file must read back as UTF-8 (only Chinese text beside ASCII does).
        const bool needsMark = hadMark || textFileToUtf8(edited) != edited;
        bytes = (needsMark ? std::string(kByteOrderMark) : std::string()) + edited;
    } else {
        bytes = utf8ToGbk(edited);
    }
    if (!old.empty()) {
        std::filesystem::path backup = file;
        backup += ".bak";
        if (!write(backup, old, error)) return false;
    }
    return write(file, bytes, error);
}

}  // namespace pluvik

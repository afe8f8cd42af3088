// The INI reader and writer on any file: the file reads back byte for byte; setting a key changes
// that key's line (or adds it) and nothing else, every other key keeps its value, and the new value
// reads back; removing a key takes out its line only. ReadIni on the same file, with its write-back,
// holds to its buffer limit and never loses the other lines either.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "shell/file_io.h"
#include "shell/ini.h"
#include "shell/ini_file.h"
#include "shell/text_codec.h"

using namespace pluvik;

namespace {

struct Line {
    std::string text;
    std::string end;
    bool operator==(const Line&) const = default;
};

// A line ends at CR LF, LF or a lone CR, as the reader's does (a lone CR inside a line would
// otherwise make the reader's line and the property's two different lines).
std::vector<Line> splitLines(const std::string& bytes) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string::npos) {
            lines.push_back({bytes.substr(start), ""});
            break;
        }
        const size_t endLength = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back({bytes.substr(start, stop - start), bytes.substr(stop, endLength)});
        start = stop + endLength;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string trim(std::string s) {
    while (!s.empty() && isBlank(s.front())) s.erase(s.begin());
    while (!s.empty() && isBlank(s.back())) s.pop_back();
    return s;
}

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Section and key names a file seems to hold, by a rough reading of its lines. The property holds
// for any names; these are the ones that may actually be there.
std::vector<std::pair<std::string, std::string>> namesIn(const std::vector<Line>& lines) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    for (const Line& line : lines) {
        const std::string t = trim(line.text);
        if (t.empty() || t.front() == ';') continue;
        if (t.front() == '[') {
            const size_t close = t.find(']');
            if (close != std::string::npos) section = trim(t.substr(1, close - 1));
            continue;
        }
        names.emplace_back(section, trim(t.substr(0, t.find('='))));
        if (names.size() == 16) break;
    }
    return names;
}

// Whole GB18030 characters: no lead byte left without its partner, which would swallow the
// bracket or sign written after it.
bool isWholeCharacters(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const size_t len = gb18030CharLength(s, i);
        if (len == 1 && static_cast<unsigned char>(s[i]) >= 0x80) return false;
        i += len;
    }
    return true;
}

// A name the file format can hold as written: whole characters on one line, no blanks around it,
// none of the characters that start a comment or a section or end a name.
bool isPlainName(const std::string& name) {
    if (name.empty() || trim(name) != name || !isWholeCharacters(name)) return false;
    if (name.front() == ';' || name.front() == '[') return false;
    return name.find_first_of("\r\n=]") == std::string::npos;
}

bool isPlainValue(const std::string& value) {
    if (trim(value) != value || value.find_first_of("\r\n") != std::string::npos) return false;
    // A value wholly in quotes reads without them.
    return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
             value.back() == value.front());
}

// `after` is `before` with lines inserted (and possibly a final line end added to the line in
// front of an insertion). Returns how many were inserted.
size_t insertedLines(const std::vector<Line>& before, const std::vector<Line>& after) {
    size_t b = 0;
    for (const Line& line : after) {
        if (b < before.size() && line.text == before[b].text &&
            (line.end == before[b].end || (before[b].end.empty() && line.end == "\r\n"))) {
            ++b;
        }
    }
    FUZZ_CHECK(b == before.size());
    return after.size() - before.size();
}

// `after` is the file of `lines` with one whole line, its line end included, cut out. Bytes are
// compared, not lines: a lone CR and an LF that meet after the cut read as one line end.
bool isOneLineCut(const std::vector<Line>& lines, const std::string& after) {
    std::string before;
    for (const Line& line : lines) before += line.text + line.end;
    if (after.size() >= before.size()) return false;
    size_t same = 0;
    while (same < after.size() && before[same] == after[same]) ++same;
    size_t start = 0;
    for (const Line& line : lines) {
        const size_t length = line.text.size() + line.end.size();
        if (start > same) break;
        if (before.size() - after.size() == length &&
            before.compare(start + length, std::string::npos, after, start, std::string::npos) == 0 &&
            before.compare(0, start, after, 0, start) == 0)
            return true;
        start += length;
    }
    return false;
}

std::filesystem::path scratchFile() {
    const std::filesystem::path dir =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    return dir / ("pluvik-fuzz-ini-" + std::to_string(getpid()) + ".ini");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const bool useFileName = in.takeBool();
    std::string section = in.takeString(24);
    std::string key = in.takeString(24);
    const std::string value = in.takeString(200);
    const std::string bytes = in.rest();
    const std::vector<Line> lines = splitLines(bytes);
    const auto names = namesIn(lines);
    if (useFileName && !names.empty()) {
        // A name the file has, spelled in another case: the lookup must find it all the same.
        std::tie(section, key) = names[value.size() % names.size()];
        for (char& c : key) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        }
    }

    IniFile file(bytes);
    FUZZ_CHECK(file.bytes() == bytes);

    std::vector<std::optional<std::string>> valuesBefore;
    for (const auto& [s, k] : names) valuesBefore.push_back(file.value(s, k));
    const bool existed = file.hasKey(section, key);

    IniFile changed = file;
    changed.setValue(section, key, value);
    const std::vector<Line> after = splitLines(changed.bytes());
    if (existed && value.find_first_of("\r\n") == std::string::npos) {
        // One line changed, in place.
        FUZZ_CHECK(after.size() == lines.size());
        size_t differing = 0;
        for (size_t i = 0; i < lines.size(); ++i) differing += after[i] == lines[i] ? 0 : 1;
        FUZZ_CHECK(differing <= 1);
    } else if (isPlainName(key) && isPlainName(section) && value.find_first_of("\r\n") == std::string::npos) {
        const size_t added = insertedLines(lines, after);
        FUZZ_CHECK(added == 1 || added == 2);
    }
    if (isPlainName(key) && isPlainName(section) && isPlainValue(value)) {
        FUZZ_CHECK(changed.value(section, key) == value);
        // Every other key reads as before.
        const IniFile reread(changed.bytes());
        for (size_t i = 0; i < names.size(); ++i) {
            const auto& [s, k] = names[i];
            if (equalsIgnoringAsciiCase(trim(s), section) && equalsIgnoringAsciiCase(k, key)) continue;
            FUZZ_CHECK(reread.value(s, k) == valuesBefore[i]);
        }
    }

    IniFile removed = file;
    removed.removeKey(section, key);
    FUZZ_CHECK(existed ? isOneLineCut(lines, removed.bytes()) : removed.bytes() == bytes);

    // ReadIni on the file: at most 143 bytes of the value, no NUL; an empty value gets the default
    // written back, which the next read returns.
    const std::filesystem::path path = scratchFile();
    if (!writeFileAtomically(path, bytes)) return 0;
    Ini ini;
    ini.IniFileName = path.string();
    const std::string utf8Section = gbkToUtf8(section);
    const std::string utf8Key = gbkToUtf8(key);
    const std::string read = ini.ReadIni(utf8Section, utf8Key, std::string("d"));
    FUZZ_CHECK(read.find('\0') == std::string::npos);
    FUZZ_CHECK(utf8ToGbk(read).size() <= Ini::kBufferSize - 1 ||
               read.find("\xEF\xBF\xBD") != std::string::npos);
    if (isPlainName(utf8ToGbk(utf8Section)) && isPlainName(utf8ToGbk(utf8Key))) {
        FUZZ_CHECK(ini.ReadIni(utf8Section, utf8Key, std::string("d")) == read);
    }
    return 0;
}

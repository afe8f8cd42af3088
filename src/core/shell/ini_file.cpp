#include "shell/ini_file.h"

namespace pluvik {
namespace {

constexpr size_t npos = std::string_view::npos;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// Blank bytes never occur inside a GBK or GB18030 character, so byte-wise trimming is safe.
std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive for ASCII only: the second byte of a GBK character may look like a letter
// ("\xB0\x41" and "\xB0\x61" are two different characters) and must match exactly.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    size_t i = 0;
    while (i < a.size()) {
        const size_t len = gb18030CharLength(a, i);
        if (gb18030CharLength(b, i) != len) return false;
        if (len == 1) {
            if (asciiLower(a[i]) != asciiLower(b[i])) return false;
        } else if (a.substr(i, len) != b.substr(i, len)) {
            return false;
        }
        i += len;
    }
    return true;
}

// Position of the first single-byte `c`, skipping the bytes of multi-byte characters.
size_t findChar(std::string_view s, char c) {
    for (size_t i = 0; i < s.size(); i += gb18030CharLength(s, i)) {
        if (s[i] == c) return i;
    }
    return npos;
}

enum class Kind { Blank, Comment, Section, Key, Unknown };

struct Parsed {
    Kind kind = Kind::Blank;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // trimmed value of a key, quotes still on
    size_t equals = npos;    // position of '=' in the untrimmed line text
};

Parsed parseLine(std::string_view text) {
    Parsed p;
    const std::string_view t = trim(text);
    if (t.empty()) return p;
    if (t.front() == ';') {
        p.kind = Kind::Comment;
        return p;
    }
    if (t.front() == '[') {
        const size_t close = findChar(t, ']');
        if (close == npos) {
            p.kind = Kind::Unknown;
            return p;
        }
        p.kind = Kind::Section;
        p.name = trim(t.substr(1, close - 1));
        return p;
    }
    p.equals = findChar(text, '=');
    if (p.equals == npos) {
        // Text without '=' names no key: it is skipped like any line the reader does not know.
        p.kind = Kind::Unknown;
        return p;
    }
    p.kind = Kind::Key;
    p.name = trim(text.substr(0, p.equals));
    p.value = trim(text.substr(p.equals + 1));
    return p;
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

}  // namespace

size_t gb18030CharLength(std::string_view s, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x81 || lead > 0xFE || pos + 1 >= s.size()) return 1;
    const unsigned char second = byte(pos + 1);
    if (second >= 0x40 && second <= 0xFE && second != 0x7F) return 2;
    if (second >= 0x30 && second <= 0x39 && pos + 3 < s.size()) {
        const unsigned char third = byte(pos + 2), fourth = byte(pos + 3);
        if (third >= 0x81 && third <= 0xFE && fourth >= 0x30 && fourth <= 0x39) return 4;
    }
    return 1;
}

IniFile::IniFile(std::string_view bytes) {
    // A line ends at CR LF, LF or a lone CR, as the profile functions read it.
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == npos) {
            m_lines.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        const size_t endLength = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        m_lines.push_back(
            {std::string(bytes.substr(start, stop - start)), std::string(bytes.substr(stop, endLength))});
        start = stop + endLength;
    }
}

size_t IniFile::findSection(std::string_view section) const {
    const std::string_view wanted = trim(section);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Parsed p = parseLine(m_lines[i].text);
        if (p.kind == Kind::Section && sameName(p.name, wanted)) return i;
    }
    return npos;
}

size_t IniFile::sectionEnd(size_t header) const {
    for (size_t i = header + 1; i < m_lines.size(); ++i) {
        if (parseLine(m_lines[i].text).kind == Kind::Section) return i;
    }
    return m_lines.size();
}

size_t IniFile::findKey(std::string_view section, std::string_view key) const {
    const size_t header = findSection(section);
    if (header == npos) return npos;
    const std::string_view wanted = trim(key);
    const size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const Parsed p = parseLine(m_lines[i].text);
        if (p.kind == Kind::Key && sameName(p.name, wanted)) return i;
    }
    return npos;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const size_t i = findKey(section, key);
    if (i == npos) return std::nullopt;
    return std::string(unquote(parseLine(m_lines[i].text).value));
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return findKey(section, key) != npos;
}

void IniFile::insertLine(size_t at, std::string text) {
    // The line before the new one may be the last line of a file without a final line end.
    if (at > 0 && m_lines[at - 1].end.empty()) m_lines[at - 1].end = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), "\r\n"});
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view keyName = trim(key);
    const size_t header = findSection(section);
    if (header == npos) {
        insertLine(m_lines.size(), "[" + std::string(trim(section)) + "]");
        insertLine(m_lines.size(), std::string(keyName) + "=" + std::string(value));
        return;
    }
    const size_t existing = findKey(section, key);
    if (existing != npos) {
        // Keep the key as the file spells it, and the line's own line end.
        Line& line = m_lines[existing];
        const Parsed p = parseLine(line.text);
        std::string_view before = std::string_view(line.text).substr(0, p.equals);
        while (!before.empty() && isBlank(before.back())) before.remove_suffix(1);
        line.text = std::string(before) + "=" + std::string(value);
        return;
    }
    // After the section's last key, so blank lines and comments that lead into the next section
    // stay in front of it.
    size_t at = header + 1;
    const size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (parseLine(m_lines[i].text).kind == Kind::Key) at = i + 1;
    }
    insertLine(at, std::string(keyName) + "=" + std::string(value));
}

void IniFile::removeKey(std::string_view section, std::string_view key) {
    const size_t i = findKey(section, key);
    if (i == npos) return;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string IniFile::bytes() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.end;
    }
    return out;
}

}  // namespace pluvik

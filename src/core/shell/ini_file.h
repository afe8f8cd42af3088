#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvik {

// Length in bytes of the GB18030 character that starts at `pos`: 1 for ASCII and for a byte that
// starts no valid sequence, 2 for a GBK pair, 4 for a four-byte sequence. Never reaches past the end.
size_t gb18030CharLength(std::string_view bytes, size_t pos);

// An INI file held as its lines, so that a change rewrites only the line concerned and keeps every
// other line (comments, blank lines, lines it does not understand, other sections) byte for byte,
// line ends included.
//
// Reading follows the Windows profile functions: a line ends at CR LF, LF or a lone CR; "[name]"
// starts a section; "key=value" is a key, and a line without '=' is no key at all; a line starting
// with ';' is a comment. Section and key
// names match without regard to ASCII case (the bytes of a two- or four-byte character match
// exactly); blanks around names and values are trimmed; a value wholly enclosed in double or single
// quotes loses them. Only the first section of a name is looked at, and in it the first key of a name.
// Lines before the first section belong to no section.
//
// All text given to and returned by the class is in the file's own encoding (GBK).
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string_view bytes);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Replaces the value of an existing key; otherwise adds "key=value" after the last key of the
    // section, or, without such a section, "[section]" and the key at the end of the file. New lines
    // end in CR LF.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes the key's line; nothing happens when there is no such key.
    void removeKey(std::string_view section, std::string_view key);

    bool hasKey(std::string_view section, std::string_view key) const;

    std::string bytes() const;

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", "\r" or "" (the last line of a file without a final line end)
    };

    // Index of the first header line of the section, or npos.
    size_t findSection(std::string_view section) const;
    // End of the section that starts at `header`: the index of the next header line or lines.size().
    size_t sectionEnd(size_t header) const;
    size_t findKey(std::string_view section, std::string_view key) const;
    void insertLine(size_t at, std::string text);

    std::vector<Line> m_lines;
};

}  // namespace pluvik

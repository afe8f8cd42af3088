#include "browse/download_rules.h"

#include <algorithm>
#include <array>

#include "shell/page_files.h"
#include "shell/text_codec.h"
#include "update/format_bytes.h"

namespace pluvik {

namespace {

// As for page names: room is left in 255 bytes for " (23)", ".part" and the engine's own suffix.
constexpr size_t kMaxNameBytes = 200;
constexpr size_t kMaxExtensionBytes = 16;

// Characters that change how a name reads without being seen: C1 controls, the direction marks and
// overrides that make "evil\u202Etxt.exe" show as "evilexe.txt", and the stand-in for bytes that
// could not be read.
bool hiddenCharacter(char32_t c) {
    return (c >= 0x80 && c <= 0x9f) || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xfffd;
}

std::string withoutHiddenCharacters(std::string_view utf8) {
    std::string out;
    for (size_t pos = 0; pos < utf8.size();) {
        const auto ch = utf8CharAt(utf8, pos);
        const size_t length = ch ? ch->length : 1;
        if (ch && !hiddenCharacter(ch->codePoint))
            out.append(utf8.substr(pos, length));
        else
            out += '_';
        pos += length;
    }
    return out;
}

// The names Windows keeps for its devices, with or without an extension: such a file cannot be opened
// there, and a download may well end up on a disk that goes to a Windows machine.
bool reservedOnWindows(std::string_view stem) {
    std::string base = asciiLowered(stem.substr(0, stem.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::array<std::string_view, 4> kPlain{"con", "prn", "aux", "nul"};
    if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end()) return true;
    return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) && base[3] >= '0' &&
           base[3] <= '9';
}

// Where the extension of a plain name starts (its dot), or npos: a short tail after the last dot,
// not the whole name.
size_t extensionStart(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::string_view::npos;
    const size_t length = name.size() - dot - 1;
    return length >= 1 && length <= kMaxExtensionBytes ? dot : std::string_view::npos;
}

// The engine reads the raw bytes of a name in Content-Disposition one byte a character, as Latin-1:
// GBK "软件" arrives as "Èí¼þ". Such a name is read again from its bytes when they make whole UTF-8 or
// whole GBK; a real Latin-1 name ("café") seldom does, and stays as it came.
std::string withRawBytesRead(std::string utf8) {
    std::string bytes;
    bool high = false;
    for (size_t pos = 0; pos < utf8.size();) {
        const auto ch = utf8CharAt(utf8, pos);
        if (!ch || ch->codePoint > 0xff) return utf8;
        high = high || ch->codePoint >= 0x80;
        bytes += static_cast<char>(ch->codePoint);
        pos += ch->length;
    }
    if (!high) return utf8;
    if (isValidUtf8(bytes)) return bytes;
    std::string gbk = gbkToUtf8(bytes);
    return gbk.find("\xEF\xBF\xBD") == std::string::npos ? gbk : utf8;
}

}  // namespace

std::string downloadFileName(std::string_view offered) {
    std::string text = withoutHiddenCharacters(isValidUtf8(offered) ? withRawBytesRead(std::string(offered))
                                                                    : gbkToUtf8(offered));
    const size_t separator = text.find_last_of("/\\");
    if (separator != std::string::npos) text.erase(0, separator + 1);
    if (text.size() >= 2 && text[1] == ':' && ((text[0] | 0x20) >= 'a' && (text[0] | 0x20) <= 'z'))
        text.erase(0, 2);

    std::string extension;
    const size_t dot = extensionStart(text);
    if (dot != std::string::npos && fileNameFrom(text.substr(dot + 1)) == text.substr(dot + 1)) {
        extension = text.substr(dot);
        text.resize(dot);
    }
    std::string stem = fileNameFrom(utf8Prefix(fileNameFrom(text), kMaxNameBytes - extension.size()));
    if (stem.empty()) stem = "下载";
    if (reservedOnWindows(stem)) stem.insert(0, "_");
    return stem + extension;
}

std::string freeDownloadPath(const std::string& folder, const std::string& name, const PathTaken& exists) {
    const std::string directory = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::string candidate = directory + name;
    const size_t dot = extensionStart(name);
    const std::string stem = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    // Bounded like the partial names; past the bound the save dialog still asks before replacing.
    for (int n = 2; n < 1000 && exists(candidate); ++n)
        candidate = directory + stem + " (" + std::to_string(n) + ")" + extension;
    return candidate;
}

std::string partialDownloadPath(const std::string& finalPath, const PathTaken& taken) {
    std::string candidate = finalPath + ".part";
    // Bounded, so a folder full of leftovers cannot keep us here; past the bound the last candidate
    // is used and the download overwrites only a leftover of an earlier download.
    for (int n = 2; n < 1000 && taken(candidate); ++n)
        candidate = finalPath + " (" + std::to_string(n) + ").part";
    return candidate;
}

std::string downloadProgressText(std::int64_t received, std::int64_t total) {
    received = std::max<std::int64_t>(0, received);
    if (total <= 0) return shortByteSize(received);
    // Cut off, not rounded: 100% only once every byte is in. The product fits in 128 bits.
    __extension__ using Wide = __int128;
    const auto percent =
        received >= total ? 100 : static_cast<int>(static_cast<Wide>(received) * 100 / total);
    return shortByteSize(received) + " / " + shortByteSize(total) + " (" + std::to_string(percent) + "%)";
}

}  // namespace pluvik

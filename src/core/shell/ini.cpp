#include "shell/ini.h"

#include <algorithm>
#include <filesystem>

#include "shell/ini_file.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

// The longest prefix of whole characters that fits into `limit` bytes.
std::string cutToWholeCharacters(const std::string& bytes, size_t limit) {
    size_t end = 0;
    while (end < bytes.size()) {
        const size_t len = gb18030CharLength(bytes, end);
        if (end + len > limit) break;
        end += len;
    }
    return bytes.substr(0, end);
}

}  // namespace

std::string Ini::ReadIni(const std::string& section, const std::string& key,
                         std::optional<std::string> defaultValue) {
    const std::string fallback = defaultValue.value_or(std::string());
    try {
        const std::filesystem::path path(IniFileName);
        const std::optional<std::string> bytes = readFileBytes(path);
        IniFile file(bytes.value_or(std::string()));
        const std::string gbkSection = utf8ToGbk(section);
        const std::string gbkKey = utf8ToGbk(key);

        std::string value =
            cutToWholeCharacters(file.value(gbkSection, gbkKey).value_or(std::string()), kBufferSize - 1);
        if (!value.empty()) {
            value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
            return gbkToUtf8(value);
        }

        bool changed = false;
        if (defaultValue) {
            file.setValue(gbkSection, gbkKey, utf8ToGbk(*defaultValue));
            changed = true;
        } else if (file.hasKey(gbkSection, gbkKey)) {
            file.removeKey(gbkSection, gbkKey);
            changed = true;
        }
        // A write-back that fails leaves the file as it was; the caller gets its default either way.
        if (changed && m_writer) (void)m_writer(path, file.bytes(), nullptr);
    } catch (...) {
        // Out of memory or no GB18030 converter: the default is still the right answer.
    }
    return fallback;
}

}  // namespace pluvik

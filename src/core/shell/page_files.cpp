#include "shell/page_files.h"

#include <algorithm>
#include <cctype>

#include "shell/text_codec.h"

namespace pluvik {

namespace {

// 255 bytes is the limit of the usual file systems; the rest is room for an extension and " (23)".
constexpr size_t kMaxNameBytes = 200;

bool isBlankOrDot(char c) {
    return c == ' ' || c == '.' || c == '\t';
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool hasPercentEscape(std::string_view text) {
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] == '%' && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return true;
    }
    return false;
}

}  // namespace

std::string fileNameFrom(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool refused =
            c < 0x20 || c == 0x7f || std::string_view("/\\:*?\"<>|").find(ch) != std::string_view::npos;
        out += refused ? '_' : ch;
    }
    size_t begin = 0;
    while (begin < out.size() && isBlankOrDot(out[begin])) ++begin;
    out.erase(0, begin);
    out.resize(utf8Prefix(out, kMaxNameBytes).size());
    while (!out.empty() && isBlankOrDot(out.back())) out.pop_back();
    return out;
}

bool titleIsAddress(std::string_view title, std::string_view address) {
    if (title.empty() || hasPercentEscape(title)) return true;
    if (title == address) return true;
    const size_t scheme = address.find("://");
    if (scheme == std::string_view::npos) return false;
    std::string_view bare = address.substr(scheme + 3);
    if (title == bare) return true;
    if (!bare.empty() && bare.back() == '/') bare.remove_suffix(1);
    return title == bare;
}

std::string proposedPageName(std::string_view title, std::string_view address, std::string_view owner,
                             std::string_view keyword) {
    if (!titleIsAddress(title, address)) {
        std::string name = fileNameFrom(title);
        if (!name.empty()) return name;
    }
    std::string label(owner);
    if (!label.empty() && !keyword.empty()) label += ' ';
    label += keyword;
    std::string name = fileNameFrom(label);
    return name.empty() ? std::string("网页") : name;
}

std::string distinctName(const std::string& name, std::set<std::string>& taken) {
    std::string candidate = name;
    for (int n = 2; taken.count(candidate); ++n) candidate = name + " (" + std::to_string(n) + ")";
    taken.insert(candidate);
    return candidate;
}

std::vector<std::string> typeExtensions(std::string_view filter) {
    std::vector<std::string> out;
    const size_t open = filter.rfind('(');
    const size_t close = filter.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return out;
    std::string_view patterns = filter.substr(open + 1, close - open - 1);
    while (!patterns.empty()) {
        const size_t blank = patterns.find(' ');
        const std::string_view pattern = patterns.substr(0, blank);
        if (startsWith(pattern, "*.") && pattern.size() > 2) out.push_back(asciiLowered(pattern.substr(2)));
        if (blank == std::string_view::npos) break;
        patterns.remove_prefix(blank + 1);
    }
    return out;
}

std::string pathForType(std::string_view path, const std::vector<std::string>& filters, int chosen) {
    std::string out(path);
    if (chosen < 0 || chosen >= static_cast<int>(filters.size())) return out;
    const std::vector<std::string> wanted = typeExtensions(filters[static_cast<size_t>(chosen)]);
    if (wanted.empty()) return out;
    const size_t slash = out.find_last_of('/');
    const size_t dot = out.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    if (hasExtension) {
        const std::string extension = asciiLowered(std::string_view(out).substr(dot + 1));
        if (std::find(wanted.begin(), wanted.end(), extension) != wanted.end()) return out;
        for (const std::string& filter : filters) {
            const std::vector<std::string> other = typeExtensions(filter);
            if (std::find(other.begin(), other.end(), extension) != other.end()) {
                out.resize(dot);
                break;
            }
        }
    }
    return out + "." + wanted.front();
}

}  // namespace pluvik

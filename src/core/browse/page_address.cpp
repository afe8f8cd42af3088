#include "browse/page_address.h"

#include <array>

namespace pluvik {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool isUntitledForm(std::string_view title, std::string_view address) {
    if (title == address) return true;
    const size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string_view::npos) return false;
    std::string_view bare = address.substr(schemeEnd + 3);
    if (title == bare) return true;
    // A bare host goes without its slash.
    if (bare.size() > 1 && bare.back() == '/' && bare.find('/') == bare.size() - 1 &&
        title == bare.substr(0, bare.size() - 1))
        return true;
    if (address.substr(0, schemeEnd) != "file") return false;
    const size_t lastSlash = address.rfind('/');
    return title == address.substr(lastSlash + 1);
}

}  // namespace

bool hasOwnTitle(std::string_view title, const std::vector<std::string>& spellings) {
    title = trimmed(title);
    if (title.empty()) return false;
    for (const std::string& address : spellings)
        if (isUntitledForm(title, address)) return false;
    return true;
}

bool isRecordedScheme(std::string_view scheme) {
    static constexpr std::array<std::string_view, 4> kRecorded{"http", "https", "ftp", "file"};
    for (std::string_view recorded : kRecorded)
        if (scheme == recorded) return true;
    return false;
}

}  // namespace pluvik

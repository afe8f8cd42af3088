#include "search/engine_addresses.h"

#include <cstddef>

#include "search/host_overrides.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::optional<KeywordEncoding> encodingNamed(std::string_view word) {
    if (word.empty() || equalsIgnoringCase(word, "gbk")) return KeywordEncoding::Gbk;
    if (equalsIgnoringCase(word, "utf-8")) return KeywordEncoding::Utf8;
    return std::nullopt;
}

}  // namespace

// "https://a.example/s?wd={keyword}&ie=utf-8 utf-8" as a template.
ParsedAddress parseEngineAddress(std::string_view value) {
    std::size_t blank = 0;
    while (blank < value.size() && !isBlank(value[blank])) ++blank;
    const std::string_view address = value.substr(0, blank);
    std::string_view word = value.substr(blank);
    while (!word.empty() && isBlank(word.front())) word.remove_prefix(1);

    // The scheme and the host must be an origin the hosts file would take; the keyword cannot
    // stand in them.
    const std::size_t schemeEnd = address.find("://");
    const std::size_t authorityEnd =
        schemeEnd == std::string_view::npos ? schemeEnd : address.find_first_of("/?#", schemeEnd + 3);
    if (schemeEnd == std::string_view::npos || !normaliseOrigin(address.substr(0, authorityEnd)))
        return {std::nullopt, "bad_address"};
    const std::size_t place = address.find(kKeywordPlace);
    if (place == std::string_view::npos || address.find(kKeywordPlace, place + 1) != std::string_view::npos)
        return {std::nullopt, "keyword_place"};
    const std::optional<KeywordEncoding> encoding = encodingNamed(word);
    if (!encoding) return {std::nullopt, "unknown_encoding"};
    return {AddressTemplate{std::string(address.substr(0, place)),
                            std::string(address.substr(place + kKeywordPlace.size())), *encoding},
            {}};
}

std::string addressProblemText(std::string_view value) {
    const ParsedAddress parsed = parseEngineAddress(asciiTrimmed(value));
    if (parsed.address) return {};
    if (parsed.reason == "bad_address")
        return "地址要以 http:// 或 https:// 开头，后面是网站的主机名。";
    if (parsed.reason == "keyword_place") {
        return value.find(kKeywordPlace) == std::string_view::npos
                   ? "地址中没有 {keyword}：请在关键词的位置写上 {keyword}。"
                   : "地址中 {keyword} 只能出现一次。";
    }
    return "编码只能是 gbk 或 utf-8，写在地址后面，中间空一格。";
}

std::string engineLineValue(const AddressTemplate& address) {
    std::string value = address.before + std::string(kKeywordPlace) + address.after;
    if (address.encoding == KeywordEncoding::Utf8) value += " utf-8";
    return value;
}

EngineAddresses parseEngineAddresses(std::string_view bytes) {
    EngineAddresses result;
    result.ignored = readKeyLines(bytes, [&](const std::string& key, std::string_view value) -> std::string {
        if (!isEngineKey(key)) return "unknown_key";
        ParsedAddress parsed = parseEngineAddress(value);
        if (!parsed.address) return parsed.reason;
        result.addresses.push_back({key, std::move(*parsed.address)});
        return {};
    });
    return result;
}

}  // namespace pluvik

#include "search/host_overrides.h"

#include <cstddef>

#include "shell/file_io.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

constexpr std::size_t kMaxTracedLine = 200;

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHostNameChar(char c) {
    return isDigit(c) || (lower(c) >= 'a' && lower(c) <= 'z') || c == '.' || c == '-';
}

bool isHostName(std::string_view host) {
    if (host.empty() || host.front() == '.' || host.front() == '-' || host.back() == '-') return false;
    for (std::size_t i = 0; i < host.size(); ++i) {
        if (!isHostNameChar(host[i])) return false;
        if (host[i] == '.' && i + 1 < host.size() && host[i + 1] == '.') return false;
    }
    return true;
}

bool isBracketedIpv6(std::string_view host) {
    if (host.size() < 4 || host.front() != '[' || host.back() != ']') return false;
    for (char c : host.substr(1, host.size() - 2)) {
        const char l = lower(c);
        if (!isDigit(c) && !(l >= 'a' && l <= 'f') && c != ':' && c != '.') return false;
    }
    return true;
}

bool isPort(std::string_view port) {
    if (port.empty() || port.size() > 5) return false;
    unsigned value = 0;
    for (char c : port) {
        if (!isDigit(c)) return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value >= 1 && value <= 65535;
}

// Strict UTF-8: shortest forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t len = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3
                                                                      : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        unsigned cp = len == 1 ? b : b & (0x7Fu >> len);
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += len;
    }
    return true;
}

// A line for the trace: UTF-8 as it is, anything else read as GBK, cut at a character boundary.
std::string traceText(std::string_view line) {
    std::string text = isValidUtf8(line) ? std::string(line) : gbkToUtf8(line);
    if (text.size() > kMaxTracedLine) {
        std::size_t cut = kMaxTracedLine;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    return text;
}

}  // namespace

std::optional<std::string> normaliseOrigin(std::string_view address) {
    const std::size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string_view::npos) return std::nullopt;
    const std::string scheme = lowered(address.substr(0, schemeEnd));
    if (scheme != "http" && scheme != "https") return std::nullopt;
    std::string_view authority = address.substr(schemeEnd + 3);
    if (!authority.empty() && authority.back() == '/') authority.remove_suffix(1);

    std::string_view host = authority;
    std::string_view port;
    const std::size_t colon = authority.rfind(':');
    const std::size_t bracket = authority.rfind(']');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (!isPort(port)) return std::nullopt;
    }
    if (!isHostName(host) && !isBracketedIpv6(host)) return std::nullopt;
    std::string origin = scheme + "://" + lowered(host);
    if (!port.empty()) origin += ":" + std::string(port);
    return origin;
}

HostOverrides parseHostOverrides(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    HostOverrides result;
    int number = 0;
    while (!bytes.empty()) {
        ++number;
        const std::size_t end = bytes.find('\n');
        const std::string_view raw = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);

        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            result.ignored.push_back({number, traceText(line), "no_equals_sign"});
            continue;
        }
        const std::optional<Service> service = serviceForKey(lowered(trim(line.substr(0, equals))));
        if (!service) {
            result.ignored.push_back({number, traceText(line), "unknown_key"});
            continue;
        }
        std::optional<std::string> origin = normaliseOrigin(trim(line.substr(equals + 1)));
        if (!origin) {
            result.ignored.push_back({number, traceText(line), "bad_address"});
            continue;
        }
        result.overrides.push_back({*service, std::move(*origin)});
    }
    return result;
}

HostOverrides applyHostOverridesFile(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes) return {};
    HostOverrides result = parseHostOverrides(*bytes);
    for (const HostOverride& o : result.overrides) setServiceOrigin(o.service, o.origin);
    return result;
}

}  // namespace pluvik

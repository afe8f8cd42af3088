#include "search/host_overrides.h"

#include <cstddef>

#include "shell/file_io.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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

}  // namespace

std::optional<std::string> normaliseOrigin(std::string_view address) {
    const std::size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string_view::npos) return std::nullopt;
    const std::string scheme = asciiLowered(address.substr(0, schemeEnd));
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
    std::string origin = scheme + "://" + asciiLowered(host);
    if (!port.empty()) origin += ":" + std::string(port);
    return origin;
}

HostOverrides parseHostOverrides(std::string_view bytes) {
    HostOverrides result;
    result.ignored = readKeyLines(bytes, [&](const std::string& key, std::string_view value) -> std::string {
        const std::optional<Service> service = serviceForKey(key);
        if (!service) return "unknown_key";
        std::optional<std::string> origin = normaliseOrigin(value);
        if (!origin) return "bad_address";
        result.overrides.push_back({*service, std::move(*origin)});
        return {};
    });
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

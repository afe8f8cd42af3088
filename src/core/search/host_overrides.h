#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/key_lines.h"
#include "search/service_hosts.h"

namespace pluvik {

// The optional file in the program directory that moves outside services to other hosts, one
// "key=scheme://host[:port]" a line (keys: serviceKey), read as readKeyLines reads it; a later line
// for the same key wins.
inline constexpr const char* kHostOverridesFileName = "hosts.txt";

struct HostOverride {
    Service service;
    std::string origin;  // normalised: lower-case scheme and host, no trailing slash
};

struct HostOverrides {
    std::vector<HostOverride> overrides;
    std::vector<IgnoredLine> ignored;  // reasons: "no_equals_sign", "unknown_key", "bad_address"
};

// "http://Host.Example:8080/" gives "http://host.example:8080". Only http and https, a host name of
// letters, digits, dots and dashes or a bracketed IPv6 address, a port from 1 to 65535, and nothing
// after the authority but one slash; anything else gives nothing.
std::optional<std::string> normaliseOrigin(std::string_view address);

HostOverrides parseHostOverrides(std::string_view bytes);

// Reads the file, if there is one, and moves every service it names (setServiceOrigin). A missing or
// unreadable file changes nothing and reports nothing.
HostOverrides applyHostOverridesFile(const std::filesystem::path& file);

}  // namespace pluvik

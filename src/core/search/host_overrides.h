#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/service_hosts.h"

namespace pluvik {

// The optional file in the program directory that moves outside services to other hosts, one
// "key=scheme://host[:port]" a line (keys: serviceKey). Keys and addresses are ASCII, so the file may
// be GBK or UTF-8 alike. Blank lines and lines starting with '#' or ';' are skipped; a later line for
// the same key wins.
inline constexpr const char* kHostOverridesFileName = "hosts.txt";

struct HostOverride {
    Service service;
    std::string origin;  // normalised: lower-case scheme and host, no trailing slash
};

// A line the reader did not take, for the trace.
struct IgnoredHostLine {
    int line = 0;          // counted from 1
    std::string text;      // the line as UTF-8 (a GBK line is converted), at most 200 bytes
    std::string reason;    // "no_equals_sign", "unknown_key" or "bad_address"
};

struct HostOverrides {
    std::vector<HostOverride> overrides;
    std::vector<IgnoredHostLine> ignored;
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

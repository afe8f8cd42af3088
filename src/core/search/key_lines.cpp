#include "search/key_lines.h"

#include <cstddef>

#include "shell/text_codec.h"

namespace pluvik {
namespace {

constexpr std::size_t kMaxTracedLine = 200;

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A line for the trace, cut at a character boundary.
std::string traceText(std::string_view line) {
    return std::string(utf8Prefix(line, kMaxTracedLine));
}

}  // namespace

std::vector<IgnoredLine> readKeyLines(std::string_view bytes, const TakeKeyLine& take) {
    const std::string text = textFileToUtf8(bytes);
    std::string_view rest = text;
    std::vector<IgnoredLine> ignored;
    int number = 0;
    while (!rest.empty()) {
        ++number;
        const std::size_t end = rest.find('\n');
        const std::string_view line = trim(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const std::size_t equals = line.find('=');
        std::string reason =
            equals == std::string_view::npos
                ? "no_equals_sign"
                : take(asciiLowered(trim(line.substr(0, equals))), trim(line.substr(equals + 1)));
        if (!reason.empty()) ignored.push_back({number, traceText(line), std::move(reason)});
    }
    return ignored;
}

}  // namespace pluvik

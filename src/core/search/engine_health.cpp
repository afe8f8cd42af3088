#include "search/engine_health.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <utility>
#include <vector>

namespace pluvik {

namespace {

constexpr std::string_view kVersionLine = "pluvik-health 1";
constexpr int kResultCount = 6;

std::optional<EngineResult> resultNamed(std::string_view name) {
    for (int i = 0; i < kResultCount; ++i)
        if (resultName(static_cast<EngineResult>(i)) == name) return static_cast<EngineResult>(i);
    return std::nullopt;
}

std::optional<EngineHealth::Entry> readEntry(std::string_view word) {
    const std::size_t colon = word.find(':');
    const auto result = resultNamed(word.substr(0, colon));
    if (!result) return std::nullopt;
    EngineHealth::Entry entry{*result, -1};
    if (colon == std::string_view::npos) return entry;
    const std::string_view digits = word.substr(colon + 1);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), entry.ms);
    if (ec != std::errc() || end != digits.data() + digits.size() || entry.ms < 0) return std::nullopt;
    return entry;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end > at) out.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

}  // namespace

void EngineHealth::record(std::string_view key, const EngineOutcome& outcome) {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) it = m_entries.emplace(std::string(key), std::deque<Entry>{}).first;
    it->second.push_back({outcome.result, outcome.ms < 0 ? -1 : outcome.ms});
    if (it->second.size() > kKept) it->second.pop_front();
    m_changed = true;
}

EngineHealth::Summary EngineHealth::summary(std::string_view key) const {
    Summary out;
    const auto it = m_entries.find(key);
    if (it == m_entries.end() || it->second.empty()) return out;
    out.last = it->second.back().result;
    std::vector<std::int64_t> times;
    for (const Entry& entry : it->second) {
        ++(entry.result == EngineResult::Ok ? out.successes : out.failures);
        if (entry.ms >= 0) times.push_back(entry.ms);
    }
    if (times.empty()) return out;
    std::sort(times.begin(), times.end());
    const std::size_t mid = times.size() / 2;
    out.medianMs = times.size() % 2 ? times[mid] : (times[mid - 1] + times[mid]) / 2;
    return out;
}

std::string EngineHealth::toText() const {
    std::ostringstream out;
    out << kVersionLine << '\n';
    for (const auto& [key, entries] : m_entries) {
        if (entries.empty()) continue;
        out << key;
        for (const Entry& entry : entries) {
            out << ' ' << resultName(entry.result);
            if (entry.ms >= 0) out << ':' << entry.ms;
        }
        out << '\n';
    }
    return out.str();
}

EngineHealth EngineHealth::fromText(std::string_view text) {
    EngineHealth health;
    bool first = true;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (std::exchange(first, false)) {
            if (line != kVersionLine) return health;
            continue;
        }
        const std::vector<std::string_view> parts = words(line);
        if (parts.size() < 2 || parts.size() > kKept + 1) continue;
        std::deque<Entry> entries;
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const auto entry = readEntry(parts[i]);
            if (!entry) break;
            entries.push_back(*entry);
        }
        if (entries.size() + 1 == parts.size()) health.m_entries[std::string(parts[0])] = std::move(entries);
    }
    return health;
}

EngineHealth EngineHealth::load(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readFileBytes(file);
    return bytes ? fromText(*bytes) : EngineHealth{};
}

bool EngineHealth::save(const std::filesystem::path& file, std::string* error, const FileWriter& write) {
    if (!write(file, toText(), error)) return false;
    m_changed = false;
    return true;
}

}  // namespace pluvik

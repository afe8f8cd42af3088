#include "update/engine_list.h"

#include <algorithm>

#include "search/key_lines.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

constexpr std::string_view kVersionTag = "version";
constexpr std::string_view kEndLine = "end";

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && asciiLowered(text.substr(0, prefix.size())) == prefix;
}

// The text of a comment line without its '#' and the blanks around it; nothing for any other line.
std::optional<std::string_view> commentText(std::string_view line) {
    line = asciiTrimmed(line);
    if (line.empty() || line.front() != '#') return std::nullopt;
    return asciiTrimmed(line.substr(1));
}

// "version=2026.12.1" (blanks allowed around '='): the version, empty when it is not one.
std::optional<std::string> versionOf(std::string_view comment) {
    if (!startsWithIgnoringCase(comment, kVersionTag)) return std::nullopt;
    std::string_view rest = asciiTrimmed(comment.substr(kVersionTag.size()));
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest = asciiTrimmed(rest.substr(1));
    bool digitBefore = false;
    for (const char c : rest) {
        if (c >= '0' && c <= '9') {
            digitBefore = true;
        } else if (c == '.' && digitBefore) {
            digitBefore = false;
        } else {
            return std::string();
        }
    }
    return digitBefore ? std::string(rest) : std::string();
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        result.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return result;
}

// The numbers of a version; each is capped so that an absurd one compares, never overflows.
std::vector<long long> versionNumbers(std::string_view version) {
    std::vector<long long> numbers;
    long long n = 0;
    for (const char c : version) {
        if (c == '.') {
            numbers.push_back(n);
            n = 0;
        } else {
            n = std::min(n * 10 + (c - '0'), 1'000'000'000'000LL);
        }
    }
    if (!version.empty()) numbers.push_back(n);
    return numbers;
}

const AddressTemplate* recorded(const EngineListRecord& record, std::string_view key) {
    const auto it = record.addresses.find(key);
    return it == record.addresses.end() ? nullptr : &it->second;
}

}  // namespace

std::optional<std::string> engineListAddress(std::string_view description, std::string_view descriptionUrl) {
    // The first line is the version, whatever it looks like.
    const std::size_t firstEnd = description.find_first_of("\r\n");
    if (firstEnd == std::string_view::npos) return std::nullopt;
    std::string value;
    static_cast<void>(readKeyLines(description.substr(firstEnd), [&](const std::string& key, std::string_view v) {
        if (key != kEngineListKey) return std::string("unknown_key");
        value = std::string(v);
        return std::string();
    }));
    if (value.empty()) return std::nullopt;
    for (const unsigned char c : value)
        if (c <= ' ' || c == 0x7f) return std::nullopt;
    if (startsWithIgnoringCase(value, "http://") || startsWithIgnoringCase(value, "https://")) {
        const std::size_t schemeEnd = value.find(':');
        return asciiLowered(value.substr(0, schemeEnd)) + value.substr(schemeEnd);
    }
    // Anything else naming a scheme or a host of its own is not the update server's.
    if (value.find("://") != std::string::npos || value.starts_with("//")) return std::nullopt;

    const std::size_t schemeEnd = descriptionUrl.find("://");
    if (schemeEnd == std::string_view::npos) return std::nullopt;
    if (value.front() == '/') {
        const std::size_t pathStart = descriptionUrl.find('/', schemeEnd + 3);
        return std::string(descriptionUrl.substr(0, pathStart)) + value;
    }
    const std::size_t lastSlash = descriptionUrl.rfind('/');
    if (lastSlash < schemeEnd + 3) return std::string(descriptionUrl) + "/" + value;
    return std::string(descriptionUrl.substr(0, lastSlash + 1)) + value;
}

ParsedEngineList parseEngineList(std::string_view bytes) {
    if (bytes.size() > kMaxEngineListBytes) return {std::nullopt, "too_large", 0};
    const std::string text = textFileToUtf8(bytes);
    const std::vector<std::string_view> all = lines(text);
    const auto filled = [](std::string_view line) { return !asciiTrimmed(line).empty(); };
    const auto first = std::find_if(all.begin(), all.end(), filled);
    const auto last = std::find_if(all.rbegin(), all.rend(), filled);
    if (first == all.end()) return {std::nullopt, "no_version", 0};

    const int firstNumber = static_cast<int>(first - all.begin()) + 1;
    const std::optional<std::string_view> head = commentText(*first);
    const std::optional<std::string> version = head ? versionOf(*head) : std::nullopt;
    if (!version) return {std::nullopt, "no_version", firstNumber};
    if (version->empty()) return {std::nullopt, "bad_version", firstNumber};
    const std::optional<std::string_view> tail = commentText(*last);
    if (last.base() - 1 == first || !tail || asciiLowered(*tail) != kEndLine)
        return {std::nullopt, "no_end", static_cast<int>(all.rend() - last)};

    EngineAddresses parsed = parseEngineAddresses(bytes);
    if (!parsed.ignored.empty()) return {std::nullopt, parsed.ignored.front().reason, parsed.ignored.front().line};
    return {EngineList{*version, std::move(parsed.addresses)}, {}, 0};
}

int compareListVersions(std::string_view a, std::string_view b) {
    const std::vector<long long> x = versionNumbers(a);
    const std::vector<long long> y = versionNumbers(b);
    if (x.empty() || y.empty()) return x.empty() == y.empty() ? 0 : (x.empty() ? -1 : 1);
    for (std::size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        const long long p = i < x.size() ? x[i] : 0;
        const long long q = i < y.size() ? y[i] : 0;
        if (p != q) return p < q ? -1 : 1;
    }
    return 0;
}

EngineListRecord readEngineListRecord(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes) return {};
    // The record is written as a list; one that is not a whole list is no record at all, so every
    // engine with an address of its own counts as set by hand, never as the list's.
    ParsedEngineList parsed = parseEngineList(*bytes);
    if (!parsed.list) return {};
    EngineListRecord record{parsed.list->version, {}};
    for (EngineAddress& e : parsed.list->addresses) record.addresses.insert_or_assign(e.key, std::move(e.address));
    return record;
}

bool writeEngineListRecord(const std::filesystem::path& file, const EngineListRecord& record, std::string* error,
                           const FileWriter& write) {
    std::string text = "# " + std::string(kVersionTag) + "=" + record.version + "\n";
    for (const std::string& key : engineKeys())
        if (const AddressTemplate* address = recorded(record, key)) text += key + "=" + engineLineValue(*address) + "\n";
    text += "# " + std::string(kEndLine) + "\n";
    return write(file, text, error);
}

std::vector<OfferedChange> offeredChanges(const EngineList& list, const EngineListRecord& record,
                                          const EngineLookup& now) {
    std::vector<OfferedChange> changes;
    if (compareListVersions(list.version, record.version) <= 0) return changes;
    std::map<std::string, AddressTemplate, std::less<>> wanted;
    for (const EngineAddress& e : list.addresses) wanted.insert_or_assign(e.key, e.address);
    for (const std::string& key : engineKeys()) {
        const auto it = wanted.find(key);
        if (it == wanted.end()) continue;
        const EngineNow engine = now(key);
        if (engine.current == it->second) continue;
        const AddressTemplate* given = recorded(record, key);
        const bool byHand = engine.replaced && (!given || *given != *engine.replaced);
        changes.push_back({key, engine.current, it->second, byHand});
    }
    return changes;
}

EngineListRecord recordAfterApplying(const EngineList& list, const EngineListRecord& before,
                                     const EngineLookup& now) {
    EngineListRecord after{list.version, {}};
    std::map<std::string, AddressTemplate, std::less<>> wanted;
    for (const EngineAddress& e : list.addresses) wanted.insert_or_assign(e.key, e.address);
    for (const std::string& key : engineKeys()) {
        const AddressTemplate current = now(key).current;
        if (const auto it = wanted.find(key); it != wanted.end() && it->second == current) {
            after.addresses.emplace(key, current);
        } else if (const AddressTemplate* given = recorded(before, key); given && *given == current) {
            after.addresses.emplace(key, current);
        }
    }
    return after;
}

std::string engineCaption(std::string_view key) {
    for (const EngineSlot& slot : EngineTable::kSlots)
        if (slot.query && slot.field == key) return std::string(slot.caption);
    for (int i = 0; i < MiniEngineTable::kCount; ++i)
        if (MiniEngineTable::key(i) == key) return std::string(MiniEngineTable::engine(i).caption) + "（Mini Pluvik）";
    for (const DualPair& pair : DualPairTable::kPairs) {
        const std::string_view side = pair.caption.substr(0, pair.caption.find('+'));
        const std::string_view other = pair.caption.substr(pair.caption.find('+') + 1);
        if (pair.leftKey == key) return std::string(side) + "（双屏搜索）";
        if (pair.rightKey == key) return std::string(other) + "（双屏搜索）";
    }
    return std::string(key);
}

}  // namespace pluvik

#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/engine_addresses.h"
#include "shell/file_io.h"

namespace pluvik {

// The update server may offer a list of engine addresses beside its description file. The
// description names it on a line after the first (old programs read the first line only):
//
//   engines=/engines.txt        a path on the update server, or a name beside "up.txt", or a whole
//                               http:// or https:// address
//
// The list is an engines file with a version line first and an end line last, so that a list cut
// short is seen for what it is:
//
//   # version=2026.12.1
//   baidu=https://www.baidu.com/s?ie=utf-8&wd={keyword} utf-8
//   # end
//
// The version is numbers separated by dots, compared number by number. The whole list is refused
// when any line is one the engines file would skip (an unknown key too), when the version or the end
// line is missing, or when it is larger than kMaxEngineListBytes.
inline constexpr const char* kEngineListKey = "engines";
inline constexpr const char* kEngineListFileName = "update_engines.txt";  // the download, removed once read
inline constexpr const char* kEngineListRecordName = "engines_list.txt";   // what the lists last gave
inline constexpr std::size_t kMaxEngineListBytes = 256 * 1024;

// The list's address from the description file's text (as downloaded, GBK), resolved against the
// description's own address. Nothing when the description names none, or names something that is not
// a web address.
std::optional<std::string> engineListAddress(std::string_view description, std::string_view descriptionUrl);

struct EngineList {
    std::string version;
    std::vector<EngineAddress> addresses;  // in list order; a later line for the same key wins
};

struct ParsedEngineList {
    std::optional<EngineList> list;
    // When refused: "too_large", "no_version", "bad_version", "no_end", or the reason the engines file
    // gives a line it skips; `line` is that line's number (0 for the whole list).
    std::string reason;
    int line = 0;
};

ParsedEngineList parseEngineList(std::string_view bytes);

// -1, 0 or 1 as version `a` is older than, the same as or newer than `b`; missing numbers count as 0,
// so "2.1" and "2.1.0" are the same. An empty version is older than every other.
int compareListVersions(std::string_view a, std::string_view b);

// The program's own record of what the applied lists gave: the version last applied and, per engine,
// the address a list gave it that the engine still uses. An engine whose address differs from its
// entry here, or that has none, was set by hand.
struct EngineListRecord {
    std::string version;
    std::map<std::string, AddressTemplate, std::less<>> addresses;
};

// A missing or unreadable record is an empty one; lines it cannot take are left out.
EngineListRecord readEngineListRecord(const std::filesystem::path& file);
bool writeEngineListRecord(const std::filesystem::path& file, const EngineListRecord& record,
                           std::string* error = nullptr, const FileWriter& write = writeFileAtomically);

// What an engine uses now: its address, and the address that replaced the built-in one (from the
// engines file or the user), if any.
struct EngineNow {
    AddressTemplate current;
    std::optional<AddressTemplate> replaced;
};
using EngineLookup = std::function<EngineNow(const std::string& key)>;

// One engine the list would change.
struct OfferedChange {
    std::string key;
    AddressTemplate from;
    AddressTemplate to;
    // The engine has an address of its own that no applied list gave it: the user's.
    bool setByHand = false;
};

// The changes a list offers, in the order of engineKeys: none when its version is not newer than the
// one last applied, or when every engine already uses the list's address.
std::vector<OfferedChange> offeredChanges(const EngineList& list, const EngineListRecord& record,
                                          const EngineLookup& now);

// The record once the engines have been changed as the user chose: the list's version, and for every
// engine the list's address if it uses that now, else the earlier record's if it still uses that.
EngineListRecord recordAfterApplying(const EngineList& list, const EngineListRecord& before,
                                     const EngineLookup& now);

// How the update window names an engine: the tab caption, with the window for the mini and dual
// windows' engines ("百度（双屏搜索）"); the key itself for an unknown key.
std::string engineCaption(std::string_view key);

}  // namespace pluvik

#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pluvik {

// A point in time as the history keeps it: 100-nanosecond intervals since 1 January 1601, UTC.
using FileTime = std::int64_t;

// Flags of one history entry.
constexpr std::uint32_t kStatUrlFlagIsCached = 0x0001;
constexpr std::uint32_t kStatUrlFlagIsTopLevel = 0x0002;

// Flags of an enumeration filter.
constexpr std::uint32_t kStatUrlQueryFlagIsCached = 0x00010000;  // only entries flagged as cached
constexpr std::uint32_t kStatUrlQueryFlagNoTitle = 0x00020000;   // leave the titles out
constexpr std::uint32_t kStatUrlQueryFlagNoUrl = 0x00040000;     // leave the addresses out
constexpr std::uint32_t kStatUrlQueryFlagTopLevel = 0x00080000;  // only top-level pages

// One entry of the URL history. A title the page never had stays absent, not empty.
struct StatUrl {
    std::optional<std::string> url;
    std::optional<std::string> title;
    FileTime lastVisited = 0;
    FileTime lastUpdated = 0;
    FileTime expires = 0;
    std::uint32_t flags = 0;

    bool operator==(const StatUrl&) const = default;
};

// Raised by a history storage that cannot do what it was asked (cannot open its file, the file is
// locked by another process, the disk is full, the file turned out to be damaged).
class HistoryStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the URL history lives: one entry per address, with the time of its last visit.
// Every operation either does all of its work or raises HistoryStoreError.
class UrlHistoryStorage {
public:
    virtual ~UrlHistoryStorage() = default;

    // Records a visit: a new address becomes an entry; a known one gets the new title (an empty
    // title keeps the old one), the new flags and fresh visit, update and expiry times.
    virtual void addUrl(const std::string& url, const std::string& title, std::uint32_t flags) = 0;
    // Removes the entry with exactly this address; an unknown address is not an error.
    virtual void deleteUrl(const std::string& url, std::uint32_t flags) = 0;
    // Removes every entry.
    virtual void clearHistory() = 0;
    // The entries whose address starts with `filter` (an empty filter: all of them), most recently
    // visited first, narrowed and trimmed by the query flags above.
    virtual std::vector<StatUrl> enumUrls(const std::string& filter, std::uint32_t flags) = 0;
};

}  // namespace pluvik

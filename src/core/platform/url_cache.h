#pragma once

#include <cstdint>
#include <string>

namespace pluvik {

// Error codes of the URL cache, as the cleaner reads them right after a call.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;  // no (more) groups; an unknown entry
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;  // the entry's record does not fit the buffer
constexpr std::uint32_t kErrorNoMoreItems = 259;         // nothing (more) matches the pattern
constexpr std::uint32_t kErrorAccessDenied = 5;

// Types of cache entries (a set of flags).
constexpr std::uint32_t kNormalCacheEntry = 0x00000001;
constexpr std::uint32_t kStickyCacheEntry = 0x00000004;
constexpr std::uint32_t kCookieCacheEntry = 0x00100000;
constexpr std::uint32_t kUrlHistoryCacheEntry = 0x00200000;

// Deleting a group with this flag deletes the entries it holds with it.
constexpr std::uint32_t kCacheGroupFlagFlushUrlOnDelete = 2;

// Size of the fixed part of an entry record; the entry's name follows it in the caller's buffer.
constexpr std::uint32_t kCacheEntryRecordSize = 80;

using CacheGroupId = std::int64_t;
// An enumeration in progress; kNoCacheHandle when a search found nothing or failed.
using CacheFindHandle = std::uint64_t;
constexpr CacheFindHandle kNoCacheHandle = 0;

// What an entry search delivers: the entry's key and its type flags.
struct CacheEntryRecord {
    std::string sourceUrlName;
    std::uint32_t cacheEntryType = 0;
};

// The browser component's URL cache: groups of entries, and typed entries (cached content,
// cookies, history) found by a search pattern. Every call reports success or failure; lastError()
// gives the code of the most recent call (kErrorSuccess after one that succeeded).
class UrlCache {
public:
    virtual ~UrlCache() = default;

    // False when this cache has no group functions at all; the cleaner then leaves groups alone.
    virtual bool hasGroupFunctions() const = 0;
    // Starts a search over every group; fills the first group's id.
    virtual CacheFindHandle findFirstUrlCacheGroup(CacheGroupId& groupId) = 0;
    virtual bool findNextUrlCacheGroup(CacheFindHandle handle, CacheGroupId& groupId) = 0;
    virtual bool deleteUrlCacheGroup(CacheGroupId groupId, std::uint32_t flags) = 0;

    // Starts a search for entries matching `pattern` and fills the first one. `bufferSize` is the
    // room the caller has for the record and its name; an entry that needs more fails with
    // kErrorInsufficientBuffer and `bufferSize` is set to what it needs.
    virtual CacheFindHandle findFirstUrlCacheEntry(const std::string& pattern, CacheEntryRecord& entry,
                                                   std::uint32_t& bufferSize) = 0;
    virtual bool findNextUrlCacheEntry(CacheFindHandle handle, CacheEntryRecord& entry,
                                       std::uint32_t& bufferSize) = 0;
    virtual bool deleteUrlCacheEntry(const std::string& sourceUrlName) = 0;

    // Ends a group or entry search.
    virtual bool findCloseUrlCache(CacheFindHandle handle) = 0;

    virtual std::uint32_t lastError() const = 0;
};

}  // namespace pluvik

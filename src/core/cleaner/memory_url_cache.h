#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "cleaner/cache_searches.h"
#include "platform/url_cache.h"

namespace pluvik {

// The calls of a URL cache, for fault injection and the call log.
enum class CacheCall {
    FindFirstGroup,
    FindNextGroup,
    DeleteGroup,
    FindFirstEntry,
    FindNextEntry,
    DeleteEntry,
    FindClose,
};

// A URL cache in memory, for tests: entries with types, groups that hold entries, a log of every
// call, and any call made to fail with a chosen error code.
class MemoryUrlCache : public UrlCache {
public:
    struct Entry {
        std::string sourceUrlName;
        std::uint32_t type = kNormalCacheEntry;
        // Bytes the record needs beyond its name, to make an entry too large for a buffer.
        std::uint32_t extraBytes = 0;
        // An entry in use cannot be deleted.
        bool inUse = false;
    };

    void addEntry(Entry entry);
    void addEntry(const std::string& sourceUrlName, std::uint32_t type) { addEntry({sourceUrlName, type}); }
    // A group holding the named entries (which must be added as entries too).
    void addGroup(CacheGroupId id, std::vector<std::string> members = {});
    void setHasGroupFunctions(bool has) { m_hasGroupFunctions = has; }
    // The `nth` call of that kind from now on (1: the next one) fails with `error`.
    void failCall(CacheCall call, std::uint32_t error, int nth = 1);

    std::vector<std::string> entryNames() const;
    std::vector<CacheGroupId> groupIds() const;
    bool hasEntry(const std::string& sourceUrlName) const;
    // Searches begun and not closed.
    std::size_t openSearches() const { return m_searches.openSearches(); }
    // Every call in order: "findFirstGroup", "deleteGroup 7", "findFirstEntry cookie:",
    // "deleteEntry <name>", "findNextEntry", "findClose" ...
    std::vector<std::string> log;

    bool hasGroupFunctions() const override { return m_hasGroupFunctions; }
    CacheFindHandle findFirstUrlCacheGroup(CacheGroupId& groupId) override;
    bool findNextUrlCacheGroup(CacheFindHandle handle, CacheGroupId& groupId) override;
    bool deleteUrlCacheGroup(CacheGroupId groupId, std::uint32_t flags) override;
    CacheFindHandle findFirstUrlCacheEntry(const std::string& pattern, CacheEntryRecord& entry,
                                           std::uint32_t& bufferSize) override;
    bool findNextUrlCacheEntry(CacheFindHandle handle, CacheEntryRecord& entry,
                               std::uint32_t& bufferSize) override;
    bool deleteUrlCacheEntry(const std::string& sourceUrlName) override;
    bool findCloseUrlCache(CacheFindHandle handle) override;
    std::uint32_t lastError() const override { return m_lastError; }

private:
    // The injected error for this call, or kErrorSuccess.
    std::uint32_t injected(CacheCall call);
    bool finish(std::uint32_t error);

    // The slot of the entry a name finds (the first of that name in the order they were added), or
    // none.
    std::optional<std::size_t> findEntry(const std::string& sourceUrlName) const;
    void eraseEntry(std::size_t slot);

    // Entries in the order they were added; a deleted one leaves an empty slot. The index by name
    // (several entries may share one) lets a clean of a large cache delete each entry in constant time.
    std::vector<std::optional<Entry>> m_entries;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byName;
    std::map<CacheGroupId, std::vector<std::string>> m_groups;
    bool m_hasGroupFunctions = true;
    std::map<CacheCall, int> m_callCounts;
    std::map<CacheCall, std::map<int, std::uint32_t>> m_faults;
    CacheSearches m_searches;
    std::uint32_t m_lastError = kErrorSuccess;
};

}  // namespace pluvik

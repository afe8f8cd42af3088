#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/url_cache.h"

namespace pluvik {

// Whether a cache search pattern selects an entry name: "", "*" and "*.*" select every entry, any
// other pattern the names that begin with it, ignoring case ("cookie:" selects the cookies).
bool cachePatternSelects(const std::string& pattern, const std::string& sourceUrlName);

// The room an entry's record takes in the caller's buffer: the fixed part and the name with its
// terminating zero.
std::uint32_t cacheEntryRecordBytes(const CacheEntryRecord& entry);

// The searches in progress of a URL cache: each handle walks a list fixed when the search began, so
// deleting entries while walking is safe.
class CacheSearches {
public:
    // A search just begun: its handle, and the error code of its first step. Only a search whose first
    // step succeeded stays open; any other is closed again and its handle is kNoCacheHandle.
    struct Begun {
        CacheFindHandle handle;
        std::uint32_t error;
    };

    // Begins a search and hands out its first entry (or group) as nextEntry (nextGroup) does.
    // `extraBytes`, when given, holds for each entry the room its record needs beyond its name.
    Begun firstEntry(std::vector<CacheEntryRecord> entries, CacheEntryRecord& entry,
                     std::uint32_t& bufferSize, std::vector<std::uint32_t> extraBytes = {});
    Begun firstGroup(std::vector<CacheGroupId> groups, CacheGroupId& groupId);

    // Hands out the next entry (or group) of a search; returns the error code of the step:
    // kErrorSuccess, kErrorNoMoreItems (kErrorFileNotFound for groups) at the end,
    // kErrorInsufficientBuffer when the entry does not fit (the search stays on it),
    // kErrorInvalidHandle for a handle that is not an open search of that kind.
    std::uint32_t nextEntry(CacheFindHandle handle, CacheEntryRecord& entry, std::uint32_t& bufferSize);
    std::uint32_t nextGroup(CacheFindHandle handle, CacheGroupId& groupId);
    bool close(CacheFindHandle handle);

    std::size_t openSearches() const { return m_searches.size(); }

private:
    Begun begun(CacheFindHandle handle, std::uint32_t error);

    struct Search {
        bool groups = false;
        std::vector<CacheEntryRecord> entries;
        std::vector<std::uint32_t> extraBytes;
        std::vector<CacheGroupId> groupIds;
        std::size_t position = 0;
    };
    CacheFindHandle m_lastHandle = 0;
    std::map<CacheFindHandle, Search> m_searches;
};

}  // namespace pluvik

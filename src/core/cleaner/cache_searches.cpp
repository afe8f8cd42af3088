#include "cleaner/cache_searches.h"

#include <algorithm>
#include <cctype>

namespace pluvik {

bool cachePatternSelects(const std::string& pattern, const std::string& sourceUrlName) {
    if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
    if (sourceUrlName.size() < pattern.size()) return false;
    return std::equal(pattern.begin(), pattern.end(), sourceUrlName.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

std::uint32_t cacheEntryRecordBytes(const CacheEntryRecord& entry) {
    return kCacheEntryRecordSize + static_cast<std::uint32_t>(entry.sourceUrlName.size()) + 1;
}

CacheSearches::Begun CacheSearches::firstEntry(std::vector<CacheEntryRecord> entries, CacheEntryRecord& entry,
                                               std::uint32_t& bufferSize,
                                               std::vector<std::uint32_t> extraBytes) {
    const CacheFindHandle handle = ++m_lastHandle;
    extraBytes.resize(entries.size(), 0);
    m_searches[handle] = Search{false, std::move(entries), std::move(extraBytes), {}, 0};
    return begun(handle, nextEntry(handle, entry, bufferSize));
}

CacheSearches::Begun CacheSearches::firstGroup(std::vector<CacheGroupId> groups, CacheGroupId& groupId) {
    const CacheFindHandle handle = ++m_lastHandle;
    m_searches[handle] = Search{true, {}, {}, std::move(groups), 0};
    return begun(handle, nextGroup(handle, groupId));
}

CacheSearches::Begun CacheSearches::begun(CacheFindHandle handle, std::uint32_t error) {
    if (error == kErrorSuccess) return {handle, error};
    close(handle);
    return {kNoCacheHandle, error};
}

std::uint32_t CacheSearches::nextEntry(CacheFindHandle handle, CacheEntryRecord& entry,
                                       std::uint32_t& bufferSize) {
    const auto it = m_searches.find(handle);
    if (it == m_searches.end() || it->second.groups) return kErrorInvalidHandle;
    Search& search = it->second;
    if (search.position >= search.entries.size()) return kErrorNoMoreItems;
    const CacheEntryRecord& next = search.entries[search.position];
    const std::uint32_t needed = cacheEntryRecordBytes(next) + search.extraBytes[search.position];
    if (needed > bufferSize) {
        bufferSize = needed;
        return kErrorInsufficientBuffer;
    }
    entry = next;
    ++search.position;
    return kErrorSuccess;
}

std::uint32_t CacheSearches::nextGroup(CacheFindHandle handle, CacheGroupId& groupId) {
    const auto it = m_searches.find(handle);
    if (it == m_searches.end() || !it->second.groups) return kErrorInvalidHandle;
    Search& search = it->second;
    if (search.position >= search.groupIds.size()) return kErrorFileNotFound;
    groupId = search.groupIds[search.position++];
    return kErrorSuccess;
}

bool CacheSearches::close(CacheFindHandle handle) {
    return m_searches.erase(handle) > 0;
}

}  // namespace pluvik

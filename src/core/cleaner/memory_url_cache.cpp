#include "cleaner/memory_url_cache.h"

#include <algorithm>

namespace pluvik {

void MemoryUrlCache::addEntry(Entry entry) {
    m_byName[entry.sourceUrlName].push_back(m_entries.size());
    m_entries.emplace_back(std::move(entry));
}

std::optional<std::size_t> MemoryUrlCache::findEntry(const std::string& sourceUrlName) const {
    const auto named = m_byName.find(sourceUrlName);
    if (named == m_byName.end()) return std::nullopt;
    return named->second.front();
}

void MemoryUrlCache::eraseEntry(std::size_t slot) {
    const auto named = m_byName.find(m_entries[slot]->sourceUrlName);
    std::erase(named->second, slot);
    if (named->second.empty()) m_byName.erase(named);
    m_entries[slot].reset();
}

void MemoryUrlCache::addGroup(CacheGroupId id, std::vector<std::string> members) {
    m_groups[id] = std::move(members);
}

void MemoryUrlCache::failCall(CacheCall call, std::uint32_t error, int nth) {
    m_faults[call][m_callCounts[call] + nth] = error;
}

std::uint32_t MemoryUrlCache::injected(CacheCall call) {
    const int number = ++m_callCounts[call];
    auto& faults = m_faults[call];
    const auto it = faults.find(number);
    if (it == faults.end()) return kErrorSuccess;
    const std::uint32_t error = it->second;
    faults.erase(it);
    return error;
}

bool MemoryUrlCache::finish(std::uint32_t error) {
    m_lastError = error;
    return error == kErrorSuccess;
}

std::vector<std::string> MemoryUrlCache::entryNames() const {
    std::vector<std::string> names;
    for (const auto& e : m_entries)
        if (e) names.push_back(e->sourceUrlName);
    return names;
}

std::vector<CacheGroupId> MemoryUrlCache::groupIds() const {
    std::vector<CacheGroupId> ids;
    for (const auto& [id, members] : m_groups) ids.push_back(id);
    return ids;
}

bool MemoryUrlCache::hasEntry(const std::string& sourceUrlName) const {
    return m_byName.contains(sourceUrlName);
}

CacheFindHandle MemoryUrlCache::findFirstUrlCacheGroup(CacheGroupId& groupId) {
    log.push_back("findFirstGroup");
    if (const std::uint32_t error = injected(CacheCall::FindFirstGroup)) {
        finish(error);
        return kNoCacheHandle;
    }
    const CacheSearches::Begun search = m_searches.firstGroup(groupIds(), groupId);
    finish(search.error);
    return search.handle;
}

bool MemoryUrlCache::findNextUrlCacheGroup(CacheFindHandle handle, CacheGroupId& groupId) {
    log.push_back("findNextGroup");
    if (const std::uint32_t error = injected(CacheCall::FindNextGroup)) return finish(error);
    return finish(m_searches.nextGroup(handle, groupId));
}

bool MemoryUrlCache::deleteUrlCacheGroup(CacheGroupId groupId, std::uint32_t flags) {
    log.push_back("deleteGroup " + std::to_string(groupId));
    if (const std::uint32_t error = injected(CacheCall::DeleteGroup)) return finish(error);
    const auto it = m_groups.find(groupId);
    if (it == m_groups.end()) return finish(kErrorFileNotFound);
    if (flags & kCacheGroupFlagFlushUrlOnDelete) {
        for (const std::string& name : it->second)
            while (const auto slot = findEntry(name)) eraseEntry(*slot);
    }
    m_groups.erase(it);
    return finish(kErrorSuccess);
}

CacheFindHandle MemoryUrlCache::findFirstUrlCacheEntry(const std::string& pattern, CacheEntryRecord& entry,
                                                       std::uint32_t& bufferSize) {
    log.push_back("findFirstEntry " + pattern);
    if (const std::uint32_t error = injected(CacheCall::FindFirstEntry)) {
        finish(error);
        return kNoCacheHandle;
    }
    std::vector<CacheEntryRecord> matches;
    std::vector<std::uint32_t> extraBytes;
    for (const auto& e : m_entries) {
        if (!e || !cachePatternSelects(pattern, e->sourceUrlName)) continue;
        matches.push_back({e->sourceUrlName, e->type});
        extraBytes.push_back(e->extraBytes);
    }
    const CacheSearches::Begun search =
        m_searches.firstEntry(std::move(matches), entry, bufferSize, std::move(extraBytes));
    finish(search.error);
    return search.handle;
}

bool MemoryUrlCache::findNextUrlCacheEntry(CacheFindHandle handle, CacheEntryRecord& entry,
                                           std::uint32_t& bufferSize) {
    log.push_back("findNextEntry");
    if (const std::uint32_t error = injected(CacheCall::FindNextEntry)) return finish(error);
    return finish(m_searches.nextEntry(handle, entry, bufferSize));
}

bool MemoryUrlCache::deleteUrlCacheEntry(const std::string& sourceUrlName) {
    log.push_back("deleteEntry " + sourceUrlName);
    if (const std::uint32_t error = injected(CacheCall::DeleteEntry)) return finish(error);
    const auto slot = findEntry(sourceUrlName);
    if (!slot) return finish(kErrorFileNotFound);
    if (m_entries[*slot]->inUse) return finish(kErrorAccessDenied);
    eraseEntry(*slot);
    return finish(kErrorSuccess);
}

bool MemoryUrlCache::findCloseUrlCache(CacheFindHandle handle) {
    log.push_back("findClose");
    if (const std::uint32_t error = injected(CacheCall::FindClose)) {
        // A failed close still ends the search: nothing could use it any more.
        m_searches.close(handle);
        return finish(error);
    }
    return finish(m_searches.close(handle) ? kErrorSuccess : kErrorInvalidHandle);
}

}  // namespace pluvik

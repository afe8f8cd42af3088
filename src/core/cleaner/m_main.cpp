#include "cleaner/m_main.h"

namespace pluvik::mMain {

namespace {

class SearchCloser {
public:
    SearchCloser(UrlCache& cache, CacheFindHandle handle) : m_cache(cache), m_handle(handle) {}
    ~SearchCloser() {
        if (m_handle != kNoCacheHandle) m_cache.findCloseUrlCache(m_handle);
    }
    SearchCloser(const SearchCloser&) = delete;
    SearchCloser& operator=(const SearchCloser&) = delete;

private:
    UrlCache& m_cache;
    CacheFindHandle m_handle;
};

// False when the clean is to end here.
bool flushGroups(UrlCache& cache) {
    if (!cache.hasGroupFunctions()) return true;
    CacheGroupId groupId = 0;
    const CacheFindHandle groups = cache.findFirstUrlCacheGroup(groupId);
    if (groups == kNoCacheHandle) return cache.lastError() == kErrorFileNotFound;
    SearchCloser closer(cache, groups);
    for (;;) {
        if (!cache.deleteUrlCacheGroup(groupId, kCacheGroupFlagFlushUrlOnDelete)) return false;
        const bool found = cache.findNextUrlCacheGroup(groups, groupId);
        if (cache.lastError() == kErrorFileNotFound) return true;
        if (!found) return false;
    }
}

}  // namespace

void ClearUrlCache(UrlCache& cache, const std::string& pattern, std::uint32_t skipMask) {
    if (!flushGroups(cache)) return;

    CacheEntryRecord entry;
    std::uint32_t bufferSize = kCacheEntryBufferSize;
    const CacheFindHandle entries = cache.findFirstUrlCacheEntry(pattern, entry, bufferSize);
    if (entries == kNoCacheHandle) return;
    SearchCloser closer(cache, entries);
    do {
        // An entry that cannot be deleted (in use, say) stays; the others still go.
        if ((entry.cacheEntryType & skipMask) == 0) cache.deleteUrlCacheEntry(entry.sourceUrlName);
        bufferSize = kCacheEntryBufferSize;
    } while (cache.findNextUrlCacheEntry(entries, entry, bufferSize));
}

}  // namespace pluvik::mMain

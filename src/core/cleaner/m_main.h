#pragma once

#include <cstdint>
#include <string>

#include "platform/url_cache.h"

namespace pluvik::mMain {

// The two cleans the trace cleaner makes of the URL cache.
inline constexpr const char* kCookiePattern = "cookie:";
inline constexpr std::uint32_t kCookieSkipMask = 0;
inline constexpr const char* kTemporaryFilesPattern = "*.*";
inline constexpr std::uint32_t kTemporaryFilesSkipMask = kCookieCacheEntry | kUrlHistoryCacheEntry;

// The room for one entry record during the entry search. An entry that does not fit ends the clean
// at that entry: the search hands entries out one at a time and gives no way past it.
inline constexpr std::uint32_t kCacheEntryBufferSize = 2048;

// Flushes every cache group (with its entries), then deletes every entry that `pattern` selects and
// whose type has none of the flags in `skipMask`. Reports nothing: it stops quietly when the group
// search fails with anything but "no groups", when a group cannot be deleted, when the entry search
// finds nothing or fails; an entry that cannot be deleted is passed over. Every search it begins is
// closed when it ends.
void ClearUrlCache(UrlCache& cache, const std::string& pattern, std::uint32_t skipMask);

}  // namespace pluvik::mMain

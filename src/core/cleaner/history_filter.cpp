#include "cleaner/history_filter.h"

namespace pluvik {

HistoryFilter::HistoryFilter(const std::string& prefix, std::uint32_t queryFlags)
    : prefix(prefix),
      noTitle((queryFlags & kStatUrlQueryFlagNoTitle) != 0),
      noUrl((queryFlags & kStatUrlQueryFlagNoUrl) != 0) {
    if (queryFlags & kStatUrlQueryFlagIsCached) requiredEntryFlags |= kStatUrlFlagIsCached;
    if (queryFlags & kStatUrlQueryFlagTopLevel) requiredEntryFlags |= kStatUrlFlagIsTopLevel;
}

bool HistoryFilter::accepts(const std::string& url, std::uint32_t entryFlags) const {
    return url.starts_with(prefix) && (entryFlags & requiredEntryFlags) == requiredEntryFlags;
}

void HistoryFilter::trim(StatUrl& record) const {
    if (noTitle) record.title.reset();
    if (noUrl) record.url.reset();
}

}  // namespace pluvik

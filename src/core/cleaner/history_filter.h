#pragma once

#include <cstdint>
#include <string>

#include "cleaner/file_time.h"
#include "platform/url_history_storage.h"

namespace pluvik {

// How an enumeration filter reads, shared by every history storage.
struct HistoryFilter {
    HistoryFilter(const std::string& prefix, std::uint32_t queryFlags);

    bool accepts(const std::string& url, std::uint32_t entryFlags) const;
    // Leaves out what the query flags ask to leave out.
    void trim(StatUrl& record) const;

    std::string prefix;
    std::uint32_t requiredEntryFlags = 0;
    bool noTitle = false;
    bool noUrl = false;
};

// How long an entry stays in the history after its last visit.
constexpr FileTime kHistoryKeepTicks = 90 * kFileTimeTicksPerDay;

}  // namespace pluvik

#pragma once

#include <cstdint>
#include <string>

#include "platform/url_history_storage.h"

namespace pluvik {

// One entry of the URL history as the history list delivered it. The item owns its texts; a copy is
// a full copy.
class URLHistoryItem {
public:
    URLHistoryItem() = default;
    explicit URLHistoryItem(StatUrl record) { LoadFromStatUrl(std::move(record)); }

    // Takes the record over unchanged.
    void LoadFromStatUrl(StatUrl record) { m_record = std::move(record); }

    // Dates in local time, as days since 30 December 1899 (see fileTimeToLocalAutomationDate).
    double LastVisited() const;
    double Expires() const;
    double LastUpdated() const;
    // Empty when the entry carries no address or no title.
    std::string URL() const { return m_record.url.value_or(std::string()); }
    std::uint32_t Flags() const { return m_record.flags; }
    std::string Title() const { return m_record.title.value_or(std::string()); }

    const StatUrl& record() const { return m_record; }

private:
    StatUrl m_record;
};

}  // namespace pluvik

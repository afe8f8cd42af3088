#include "cleaner/url_history_item.h"

#include "cleaner/file_time.h"

namespace pluvik {

double URLHistoryItem::LastVisited() const {
    return fileTimeToLocalAutomationDate(m_record.lastVisited);
}
double URLHistoryItem::Expires() const {
    return fileTimeToLocalAutomationDate(m_record.expires);
}
double URLHistoryItem::LastUpdated() const {
    return fileTimeToLocalAutomationDate(m_record.lastUpdated);
}

}  // namespace pluvik

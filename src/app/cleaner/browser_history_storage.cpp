#include "cleaner/browser_history_storage.h"

#include <QUrl>
#include <QWebEngineProfile>

#include "platform/qt_text.h"

namespace pluvik {

void BrowserHistoryStorage::addUrl(const std::string& url, const std::string& title, std::uint32_t flags) {
    m_entries.addUrl(url, title, flags);
}

// The colouring goes first: it is the part that cannot fail, and a stored history that cannot be
// written just now should not keep the links marked either.
void BrowserHistoryStorage::deleteUrl(const std::string& url, std::uint32_t flags) {
    if (m_profile) m_profile->clearVisitedLinks({QUrl(toQ(url))});
    m_entries.deleteUrl(url, flags);
}

void BrowserHistoryStorage::clearHistory() {
    if (m_profile) m_profile->clearAllVisitedLinks();
    m_entries.clearHistory();
}

std::vector<StatUrl> BrowserHistoryStorage::enumUrls(const std::string& filter, std::uint32_t flags) {
    return m_entries.enumUrls(filter, flags);
}

}  // namespace pluvik

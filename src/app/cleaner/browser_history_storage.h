#pragma once

#include "platform/url_history_storage.h"

class QWebEngineProfile;

namespace pluvik {

// The URL history as the browser shows it: the stored entries, plus the profile's colouring of
// visited links, which goes with the entries when they are deleted.
class BrowserHistoryStorage : public UrlHistoryStorage {
public:
    BrowserHistoryStorage(UrlHistoryStorage& entries, QWebEngineProfile* profile)
        : m_entries(entries), m_profile(profile) {}

    void addUrl(const std::string& url, const std::string& title, std::uint32_t flags) override;
    void deleteUrl(const std::string& url, std::uint32_t flags) override;
    void clearHistory() override;
    std::vector<StatUrl> enumUrls(const std::string& filter, std::uint32_t flags) override;

private:
    UrlHistoryStorage& m_entries;
    QWebEngineProfile* m_profile;
};

}  // namespace pluvik

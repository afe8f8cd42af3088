#pragma once

#include <QNetworkCookie>
#include <QObject>
#include <map>
#include <string>

#include "cleaner/cache_searches.h"
#include "platform/url_cache.h"

class QWebEngineProfile;

namespace pluvik {

class UrlHistoryStorage;

// The URL cache of the shared browser profile, as the cleaner sees it:
// - the HTTP cache is one ordinary entry, "cache:<cache folder>"; deleting it empties the cache, and
//   the engine loads pages again as soon as the deletion returns;
// - every cookie of the cookie store is a cookie entry, "cookie:<name>@<domain><path>"; deleting
//   it deletes that cookie;
// - every entry of the URL history is a history entry, "visited:<address>".
// The profile has no cache groups, so a group search always reports that there are none.
//
// The cookie store tells its cookies only through its signals, so the cache learns them from the
// moment it is made: make it together with the profile, before the first page loads.
class WebEngineUrlCache : public QObject, public UrlCache {
    Q_OBJECT
public:
    static constexpr const char* kCookiePrefix = "cookie:";
    static constexpr const char* kHistoryPrefix = "visited:";
    static constexpr const char* kHttpCachePrefix = "cache:";

    WebEngineUrlCache(QWebEngineProfile* profile, UrlHistoryStorage* history, QObject* parent = nullptr);

    // The cookies the store has reported and not yet removed.
    QList<QNetworkCookie> cookies() const;

    bool hasGroupFunctions() const override { return true; }
    CacheFindHandle findFirstUrlCacheGroup(CacheGroupId& groupId) override;
    bool findNextUrlCacheGroup(CacheFindHandle handle, CacheGroupId& groupId) override;
    bool deleteUrlCacheGroup(CacheGroupId groupId, std::uint32_t flags) override;
    CacheFindHandle findFirstUrlCacheEntry(const std::string& pattern, CacheEntryRecord& entry,
                                           std::uint32_t& bufferSize) override;
    bool findNextUrlCacheEntry(CacheFindHandle handle, CacheEntryRecord& entry,
                               std::uint32_t& bufferSize) override;
    bool deleteUrlCacheEntry(const std::string& sourceUrlName) override;
    bool findCloseUrlCache(CacheFindHandle handle) override;
    std::uint32_t lastError() const override { return m_lastError; }

private:
    static std::string cookieEntryName(const QNetworkCookie& cookie);
    bool clearHttpCache();
    std::string httpCacheEntryName() const;
    bool finish(std::uint32_t error);

    QWebEngineProfile* m_profile;
    QString m_primaryCachePath;    // where the profile keeps its cache at start
    QString m_alternateCachePath;  // where a clean moves it, in turns with the first
    UrlHistoryStorage* m_history;
    std::map<std::string, QNetworkCookie> m_cookies;
    CacheSearches m_searches;
    std::uint32_t m_lastError = kErrorSuccess;
};

}  // namespace pluvik

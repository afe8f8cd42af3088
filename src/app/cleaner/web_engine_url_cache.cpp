#include "cleaner/web_engine_url_cache.h"

#include <QDir>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "platform/qt_text.h"
#include "platform/url_history_storage.h"

namespace pluvik {

WebEngineUrlCache::WebEngineUrlCache(QWebEngineProfile* profile, UrlHistoryStorage* history, QObject* parent)
    : QObject(parent), m_profile(profile), m_history(history) {
    QWebEngineCookieStore* store = m_profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [this](const QNetworkCookie& cookie) { m_cookies[cookieEntryName(cookie)] = cookie; });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie& cookie) { m_cookies.erase(cookieEntryName(cookie)); });
    // Reports the cookies kept from earlier sessions through cookieAdded.
    store->loadAllCookies();

    m_primaryCachePath = m_profile->cachePath();
    if (!m_primaryCachePath.isEmpty()) {
        m_alternateCachePath = m_primaryCachePath + QStringLiteral("-cleaned");
        // A cache the last run moved there after a clean; this run starts on the first folder.
        QDir(m_alternateCachePath).removeRecursively();
    }
}

// The profile's own clearHttpCache() empties the cache in the background and then restarts the
// engine's network side, telling no one (this engine has no signal for it): a page asked for in
// between never loads, so a search right after the clean would lose tabs. Moving the cache to an
// empty folder restarts the network side at once, within this call; the old folder is then
// deleted. The cache takes turns between two folders, and the one not in use is always removed.
bool WebEngineUrlCache::clearHttpCache() {
    const QString active = m_profile->cachePath();
    if (active.isEmpty()) return true;  // a cache in memory only: nothing on the disk
    const QString next = active == m_primaryCachePath ? m_alternateCachePath : m_primaryCachePath;
    QDir(next).removeRecursively();
    m_profile->setCachePath(next);
    if (m_profile->cachePath() != next) return false;
    return QDir(active + QStringLiteral("/Cache")).removeRecursively();
}

std::string WebEngineUrlCache::cookieEntryName(const QNetworkCookie& cookie) {
    return kCookiePrefix + toStd(QString::fromUtf8(cookie.name())) + "@" + toStd(cookie.domain()) +
           toStd(cookie.path().isEmpty() ? QStringLiteral("/") : cookie.path());
}

std::string WebEngineUrlCache::httpCacheEntryName() const {
    return kHttpCachePrefix + toStd(m_profile->cachePath());
}

QList<QNetworkCookie> WebEngineUrlCache::cookies() const {
    QList<QNetworkCookie> out;
    for (const auto& [name, cookie] : m_cookies) out.append(cookie);
    return out;
}

bool WebEngineUrlCache::finish(std::uint32_t error) {
    m_lastError = error;
    return error == kErrorSuccess;
}

CacheFindHandle WebEngineUrlCache::findFirstUrlCacheGroup(CacheGroupId&) {
    finish(kErrorFileNotFound);
    return kNoCacheHandle;
}

bool WebEngineUrlCache::findNextUrlCacheGroup(CacheFindHandle, CacheGroupId&) {
    return finish(kErrorInvalidHandle);
}

bool WebEngineUrlCache::deleteUrlCacheGroup(CacheGroupId, std::uint32_t) {
    return finish(kErrorFileNotFound);
}

CacheFindHandle WebEngineUrlCache::findFirstUrlCacheEntry(const std::string& pattern, CacheEntryRecord& entry,
                                                          std::uint32_t& bufferSize) {
    // The cache itself comes first and long history addresses last, so an entry too large for the
    // cleaner's buffer can only hold up entries that a file clean leaves alone anyway.
    std::vector<CacheEntryRecord> all;
    all.push_back({httpCacheEntryName(), kNormalCacheEntry});
    for (const auto& [name, cookie] : m_cookies) all.push_back({name, kCookieCacheEntry});
    if (m_history) {
        try {
            for (const StatUrl& visit : m_history->enumUrls(std::string(), 0))
                all.push_back({kHistoryPrefix + visit.url.value_or(std::string()), kUrlHistoryCacheEntry});
        } catch (const HistoryStoreError&) {
            // A history that cannot be read lists no entries here; the cleaner deals with the
            // history through its own row.
        }
    }
    std::vector<CacheEntryRecord> matches;
    for (CacheEntryRecord& record : all) {
        if (cachePatternSelects(pattern, record.sourceUrlName)) matches.push_back(std::move(record));
    }
    const CacheSearches::Begun search = m_searches.firstEntry(std::move(matches), entry, bufferSize);
    finish(search.error);
    return search.handle;
}

bool WebEngineUrlCache::findNextUrlCacheEntry(CacheFindHandle handle, CacheEntryRecord& entry,
                                              std::uint32_t& bufferSize) {
    return finish(m_searches.nextEntry(handle, entry, bufferSize));
}

bool WebEngineUrlCache::deleteUrlCacheEntry(const std::string& sourceUrlName) {
    if (sourceUrlName == httpCacheEntryName())
        return finish(clearHttpCache() ? kErrorSuccess : kErrorAccessDenied);
    if (sourceUrlName.starts_with(kCookiePrefix)) {
        const auto it = m_cookies.find(sourceUrlName);
        if (it == m_cookies.end()) return finish(kErrorFileNotFound);
        m_profile->cookieStore()->deleteCookie(it->second);
        m_cookies.erase(it);
        return finish(kErrorSuccess);
    }
    if (sourceUrlName.starts_with(kHistoryPrefix) && m_history) {
        try {
            m_history->deleteUrl(sourceUrlName.substr(std::string(kHistoryPrefix).size()), 0);
            return finish(kErrorSuccess);
        } catch (const HistoryStoreError&) {
            return finish(kErrorAccessDenied);
        }
    }
    return finish(kErrorFileNotFound);
}

bool WebEngineUrlCache::findCloseUrlCache(CacheFindHandle handle) {
    return finish(m_searches.close(handle) ? kErrorSuccess : kErrorInvalidHandle);
}

}  // namespace pluvik

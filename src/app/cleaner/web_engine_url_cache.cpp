#include "cleaner/web_engine_url_cache.h"

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
    const CacheFindHandle handle = m_searches.startEntries(std::move(matches));
    if (!finish(m_searches.nextEntry(handle, entry, bufferSize))) {
        m_searches.close(handle);
        return kNoCacheHandle;
    }
    return handle;
}

bool WebEngineUrlCache::findNextUrlCacheEntry(CacheFindHandle handle, CacheEntryRecord& entry,
                                              std::uint32_t& bufferSize) {
    return finish(m_searches.nextEntry(handle, entry, bufferSize));
}

bool WebEngineUrlCache::deleteUrlCacheEntry(const std::string& sourceUrlName) {
    if (sourceUrlName == httpCacheEntryName()) {
        m_profile->clearHttpCache();
        return finish(kErrorSuccess);
    }
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

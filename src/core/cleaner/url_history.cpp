#include "cleaner/url_history.h"

#include <stdexcept>

namespace pluvik {

CURLHistory::CURLHistory(UrlHistoryStorage& store) : m_store(store) {
    Refresh(std::string(), 0);
}

void CURLHistory::AddURL(const std::string& url, const std::string& title, std::uint32_t flags) {
    m_store.addUrl(url, title, flags);
}

void CURLHistory::Clear() {
    m_store.clearHistory();
    Refresh(std::string(), 0);
}

void CURLHistory::Refresh(const std::string& filter, std::uint32_t flags) {
    std::vector<StatUrl> records = m_store.enumUrls(filter, flags);
    std::vector<URLHistoryItem> items;
    items.reserve(records.size());
    for (StatUrl& record : records) items.emplace_back(std::move(record));
    m_items = std::move(items);
}

const URLHistoryItem& CURLHistory::at(std::uint32_t index) const {
    if (index < 1 || index > m_items.size())
        throw std::out_of_range("URL history position " + std::to_string(index) + " is outside 1 to " +
                                std::to_string(m_items.size()));
    return m_items[index - 1];
}

URLHistoryItem CURLHistory::Item(std::uint32_t index) const {
    return at(index);
}

void CURLHistory::Remove(std::uint32_t index) {
    const URLHistoryItem& item = at(index);
    m_store.deleteUrl(item.URL(), 0);
    m_items.erase(m_items.begin() + (index - 1));
}

void CURLHistory::DeleteURL(const std::string& url, std::uint32_t flags) {
    m_store.deleteUrl(url, flags);
    Refresh(std::string(), 0);
}

}  // namespace pluvik

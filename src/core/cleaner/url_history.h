#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cleaner/url_history_item.h"
#include "platform/url_history_storage.h"

namespace pluvik {

// An object view of the URL history: the storage and a snapshot list of its entries, positions
// counted from 1. The list is re-read at creation, by Refresh, Clear and DeleteURL; AddURL and
// Remove change the storage without re-reading it.
//
// Errors pass through unchanged: the storage's HistoryStoreError, and std::out_of_range for a
// position outside 1 to Count.
class CURLHistory {
public:
    using const_iterator = std::vector<URLHistoryItem>::const_iterator;

    // Lists the whole history at once; a storage that cannot be read makes the creation fail.
    explicit CURLHistory(UrlHistoryStorage& store);

    void AddURL(const std::string& url, const std::string& title, std::uint32_t flags);
    std::uint32_t Count() const { return static_cast<std::uint32_t>(m_items.size()); }
    // Empties the storage, then re-reads the (now empty) list.
    void Clear();
    void Refresh(const std::string& filter, std::uint32_t flags);
    URLHistoryItem Item(std::uint32_t index) const;
    // Deletes the item's address from the storage and drops the item; later positions move down.
    void Remove(std::uint32_t index);
    void DeleteURL(const std::string& url, std::uint32_t flags = 0);

    // Iteration over the items in list order.
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }
    const_iterator NewEnum() const { return begin(); }

private:
    const URLHistoryItem& at(std::uint32_t index) const;

    UrlHistoryStorage& m_store;
    std::vector<URLHistoryItem> m_items;
};

}  // namespace pluvik

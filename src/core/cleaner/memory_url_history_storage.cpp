#include "cleaner/memory_url_history_storage.h"

#include <algorithm>

#include "cleaner/file_time.h"
#include "cleaner/history_filter.h"

namespace pluvik {

MemoryUrlHistoryStorage::MemoryUrlHistoryStorage(Clock clock) : m_clock(std::move(clock)) {}

void MemoryUrlHistoryStorage::failIfAsked() const {
    if (m_failing) throw HistoryStoreError("the URL history cannot be used");
}

FileTime MemoryUrlHistoryStorage::now() const {
    return m_clock ? m_clock() : currentFileTime();
}

void MemoryUrlHistoryStorage::addUrl(const std::string& url, const std::string& title, std::uint32_t flags) {
    failIfAsked();
    const FileTime time = now();
    auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.record.url == url; });
    if (it == m_entries.end()) {
        m_entries.push_back({StatUrl{url, std::nullopt, 0, 0, 0, 0}, ++m_sequence});
        it = m_entries.end() - 1;
    }
    StatUrl& record = it->record;
    if (!title.empty()) record.title = title;
    record.lastVisited = record.lastUpdated = time;
    record.expires = time + kHistoryKeepTicks;
    record.flags = flags;
}

void MemoryUrlHistoryStorage::deleteUrl(const std::string& url, std::uint32_t) {
    failIfAsked();
    std::erase_if(m_entries, [&](const Entry& e) { return e.record.url == url; });
}

void MemoryUrlHistoryStorage::clearHistory() {
    failIfAsked();
    m_entries.clear();
}

std::vector<StatUrl> MemoryUrlHistoryStorage::enumUrls(const std::string& filter, std::uint32_t flags) {
    failIfAsked();
    const HistoryFilter accept(filter, flags);
    std::vector<const Entry*> hits;
    for (const Entry& e : m_entries) {
        if (accept.accepts(e.record.url.value_or(std::string()), e.record.flags)) hits.push_back(&e);
    }
    std::sort(hits.begin(), hits.end(), [](const Entry* a, const Entry* b) {
        if (a->record.lastVisited != b->record.lastVisited)
            return a->record.lastVisited > b->record.lastVisited;
        return a->sequence > b->sequence;
    });
    std::vector<StatUrl> out;
    out.reserve(hits.size());
    for (const Entry* e : hits) {
        out.push_back(e->record);
        accept.trim(out.back());
    }
    return out;
}

void MemoryUrlHistoryStorage::insert(StatUrl record) {
    m_entries.push_back({std::move(record), ++m_sequence});
}

}  // namespace pluvik

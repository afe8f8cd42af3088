#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/url_history_storage.h"

namespace pluvik {

// The URL history in memory, for tests: behaves like the SQLite storage, takes its time from the
// caller, and can be told to fail.
class MemoryUrlHistoryStorage : public UrlHistoryStorage {
public:
    using Clock = std::function<FileTime()>;

    explicit MemoryUrlHistoryStorage(Clock clock = {});

    void addUrl(const std::string& url, const std::string& title, std::uint32_t flags) override;
    void deleteUrl(const std::string& url, std::uint32_t flags) override;
    void clearHistory() override;
    std::vector<StatUrl> enumUrls(const std::string& filter, std::uint32_t flags) override;

    // While failing, every operation raises HistoryStoreError and changes nothing.
    void setFailing(bool failing) { m_failing = failing; }
    // Puts a record in as it is, for entries no visit would produce (no title, odd times).
    void insert(StatUrl record);
    std::size_t size() const { return m_entries.size(); }

private:
    struct Entry {
        StatUrl record;
        std::uint64_t sequence;
    };
    void failIfAsked() const;
    FileTime now() const;

    Clock m_clock;
    std::vector<Entry> m_entries;
    std::uint64_t m_sequence = 0;
    bool m_failing = false;
};

}  // namespace pluvik

#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "search/engine_outcome.h"
#include "shell/file_io.h"

namespace pluvik {

// How each engine did over its latest searches, kept across restarts in the program's own
// health.txt: a version line, then one line per engine, its key and its latest outcomes oldest
// first, each the result's trace name with the load's milliseconds after a colon when it ended
// ("baidu ok:230 slow http_error:41").
class EngineHealth {
public:
    static constexpr std::size_t kKept = 20;

    struct Entry {
        EngineResult result = EngineResult::Slow;
        std::int64_t ms = -1;  // -1: the load did not end
        bool operator==(const Entry&) const = default;
    };
    struct Summary {
        std::optional<EngineResult> last;
        int successes = 0;
        int failures = 0;
        // Over the searches whose load ended, whatever it brought; none without one.
        std::optional<std::int64_t> medianMs;
    };

    void record(std::string_view key, const EngineOutcome& outcome);
    Summary summary(std::string_view key) const;
    // Whether anything was recorded since the record was read or written.
    bool changed() const { return m_changed; }

    std::string toText() const;
    // A text of another version, or none, gives an empty record; a line that does not read is
    // skipped, its engine starting empty.
    static EngineHealth fromText(std::string_view text);

    // A missing or unreadable file gives an empty record.
    static EngineHealth load(const std::filesystem::path& file);
    // Writes the file whole (never half of it); false, with the reason in *error, when it could not.
    bool save(const std::filesystem::path& file, std::string* error = nullptr,
              const FileWriter& write = writeFileAtomically);

private:
    std::map<std::string, std::deque<Entry>, std::less<>> m_entries;
    bool m_changed = false;
};

inline constexpr const char* kEngineHealthFileName = "health.txt";

}  // namespace pluvik

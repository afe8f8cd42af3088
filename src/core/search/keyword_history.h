#pragma once

#include <string>
#include <vector>

namespace pluvik {

// The keyword history of Combo1: one entry per distinct keyword, oldest first, compared exactly
// (case and blanks count). It lives as long as the main window and is never written to disk.
class KeywordHistory {
public:
    bool contains(const std::string& keyword) const;

    // Appends the keyword unless an equal entry exists; true when it was appended.
    bool add(const std::string& keyword);

    const std::vector<std::string>& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    std::vector<std::string> m_entries;
};

}  // namespace pluvik

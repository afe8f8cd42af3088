#include "search/keyword_history.h"

#include <algorithm>

namespace pluvik {

bool KeywordHistory::contains(const std::string& keyword) const {
    return std::find(m_entries.begin(), m_entries.end(), keyword) != m_entries.end();
}

bool KeywordHistory::add(const std::string& keyword) {
    if (contains(keyword)) return false;
    m_entries.push_back(keyword);
    return true;
}

}  // namespace pluvik

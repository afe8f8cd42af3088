#include "cleaner/cleaner_rules.h"

namespace pluvik {

std::vector<CleanerRow> rowsToClean(const std::array<bool, 5>& checked) {
    std::vector<CleanerRow> rows;
    for (std::size_t i = 0; i < kCleanerRows.size(); ++i) {
        if (checked[i]) rows.push_back(kCleanerRows[i].row);
    }
    return rows;
}

}  // namespace pluvik

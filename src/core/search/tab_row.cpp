#include "search/tab_row.h"

#include <algorithm>
#include <numeric>

namespace pluvik {

std::vector<int> tabRowWidths(const std::vector<int>& wanted, int rowWidth, int widest) {
    std::vector<int> widths;
    if (wanted.empty()) return widths;
    for (int w : wanted) widths.push_back(std::clamp(w, 1, std::max(1, widest)));
    const long long total = std::accumulate(widths.begin(), widths.end(), 0LL);
    const int count = static_cast<int>(widths.size());
    rowWidth = std::max(rowWidth, 0);
    if (total <= rowWidth) {
        const int spare = rowWidth - static_cast<int>(total);
        for (int i = 0; i < count; ++i)
            widths[static_cast<size_t>(i)] += spare / count + (i < spare % count ? 1 : 0);
        return widths;
    }
    // Each tab's share of the row, the rounding left over going to the first tabs.
    int given = 0;
    for (int& w : widths) {
        w = static_cast<int>(static_cast<long long>(w) * rowWidth / total);
        given += w;
    }
    for (int i = 0; given < rowWidth; ++i, ++given) ++widths[static_cast<size_t>(i % count)];
    return widths;
}

}  // namespace pluvik

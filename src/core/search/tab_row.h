#pragma once

#include <vector>

namespace pluvik {

// The widths of the tabs of one row of a tab strip whose tabs share a row by their captions (the main
// window's 23 tabs in one row). `wanted` is each tab's width for its whole caption; a tab never wants
// more than `widest` (a short caption's room), so one long caption cannot push the others out. When
// the row has room to spare it is shared out evenly, so the tabs fill the row; when it has too little,
// every tab gives up room in proportion to its width. The widths add up to `rowWidth`.
std::vector<int> tabRowWidths(const std::vector<int>& wanted, int rowWidth, int widest);

}  // namespace pluvik

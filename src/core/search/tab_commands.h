#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "search/tab_strip_model.h"

namespace pluvik {

// The main window's tab management. Hiding a tab lasts until the program exits; the stored engine
// choice is not touched.

inline constexpr const char* kCloseTabTitle = "关闭选项卡确认";
// The five-line question of "关闭当前选项卡", lines joined by CR LF.
std::string closeTabQuestion();

// Hides the current tab unless it is the only visible one (the strip then picks the new current
// tab). Returns whether a tab was hidden.
bool closeCurrentResultTab(TabStripModel& tabs);

// Leaves exactly the current tab visible.
void closeOtherResultTabs(TabStripModel& tabs);

// Ctrl+Tab and Ctrl+PageDown go to the next visible tab, Ctrl+Shift+Tab and Ctrl+PageUp to the
// previous one, round past the ends. Returns whether the current tab changed.
enum class TabStep { Next, Previous };
bool stepCurrentTab(TabStripModel& tabs, TabStep step);

struct CaptionColor {
    const char* action;   // the menu entry's name
    const char* caption;  // its text
    Rgb color;
};
// The six caption colours of the tab menu, in menu order; the first is the one at start.
const std::array<CaptionColor, 6>& captionColors();

// "保存所有结果" / "打印所有结果": the confirmation and the browsers it addresses.
enum class BulkCommand { Save, Print };
struct BulkConfirmation {
    std::string title;
    std::string text;
};
// `pages` is the number of pages the command goes through, named in the warning.
BulkConfirmation bulkConfirmation(BulkCommand command, int pages);
// Said instead of the confirmation when no page holds a result.
std::string nothingToSaveOrPrint(BulkCommand command);
// Asked once in a run, after the user cancelled the dialog of `owner`'s page: 停止 ends the run,
// 继续 goes on without asking again.
BulkConfirmation stopTheRestQuestion(BulkCommand command, std::string_view owner);

// A browser as save all and print all see it.
struct PageOnTab {
    bool shown = true;  // its tab is not switched off or closed
    bool hasPage = false;
    std::string address;
};
// The pages that hold a result, in tab order: shown, loaded, and not a page of the program's own
// (nothing, about:blank, the local start page).
// Save all and print all go through exactly these, and their question counts them.
std::vector<int> pagesHoldingResults(const std::vector<PageOnTab>& pages);

}  // namespace pluvik

#pragma once

#include <string>
#include <vector>

#include "search/tab_strip_model.h"

namespace pluvik {

// The secondary browser window 搜索浏览: a fixed set of 24 tabs, each with its own browser; tabs are
// shown and hidden, never created. These are its rules that need no screen.

inline constexpr int kTabCount = 24;
// Tab 1 never receives a page, so at most 23 tabs are ever visible.
inline constexpr int kMaxVisible = 23;
inline constexpr int kTabsPerRowAtLoad = 3;

inline constexpr char kBrowseCaption[] = "搜索浏览器";
inline constexpr char kHttpPrefix[] = "http://";
inline constexpr char kLimitMessage[] = "到达最大吞吐量啦！请重新打开本浏览器吧！";
inline constexpr char kAboutText[] =
    "Pluvik，禾朔浏览器的版本为：2.1\r\n本浏览器是禾朔工作室开发的新一代简洁多页面浏览器。";

// Status texts of the browser events.
inline constexpr char kStatusDownloadBegin[] = "正在下载。。";
inline constexpr char kStatusDownloadComplete[] = "下载完成";
inline constexpr char kStatusDocumentComplete[] = "浏览中";

// The tab strip as the window loads: 24 tabs captioned "Tab 0" to "Tab 23", 3 per row, tab 0 current
// and the only visible one.
TabStripModel makeBrowseTabStrip();

// Address entry from the address box. Choosing an item from the box's drop-down list is not an entry:
// the window navigates to the chosen text unchanged.
enum class EntryTrigger { EnterKey, GoButton };

struct AddressEntry {
    std::string navigateTo;  // the address for the current browser
    std::string boxText;     // the text the box shows afterwards
    bool appendToList = false;
};

// A text whose first seven characters are not exactly "http://" (case-sensitive, so "HTTP://" and
// "https://" too) gets "http://" put in front. Only the Enter key adds the text to the list, and only
// when no entry is equal to it.
AddressEntry addressEntry(const std::string& boxText, const std::vector<std::string>& list,
                          EntryTrigger trigger);

// Closes the current tab (Command7 and the context menu's guanbi). Nothing happens with one visible
// tab or fewer. Otherwise tab t is hidden and, while more than one tab stays visible and t > 0, tab
// t - 1 becomes current; when tab t - 1 is hidden itself it cannot be selected and the strip's own
// choice (the nearest visible tab) stands. Returns whether a tab was hidden. Command7's enabled state
// is not touched by any close.
bool closeCurrentTab(TabStripModel& tabs);

// Double click on the strip: with more than one visible tab the current one is hidden and the strip
// picks the new current tab. Returns whether a tab was hidden.
bool quickCloseTab(TabStripModel& tabs);

// Tabs per row after a page was placed in tab `currentIndex`: 5 beyond tab 3, 10 beyond tab 5, 15
// beyond tab 10, 24 beyond tab 15; tabs up to 3 leave `previous` as it is. Every page sets the count
// from its own tab, so a lower tab reused after closings narrows the rows again.
int tabsPerRowFor(int currentIndex, int previous);

// What a new-window request from a page of this window leads to.
struct NewWindowDecision {
    int visibleBefore = 0;               // n, the visible tabs when the request came
    bool command7EnabledBefore = false;  // set before the placement: n > 1
    bool accepted = false;               // the page goes into targetTab's browser
    int targetTab = -1;                  // -1 when not accepted: leave the page slot empty
    bool showLimitMessage = false;       // show kLimitMessage, OK only
    bool command7Enabled = false;        // Command7's state when the request is done
};

// Picks the tab for the page and applies the tab changes: the target is the first hidden tab from tab 2
// on (tab 1 never receives a page); it is made visible and current and the tabs per row follow it.
// Without closings that is tab n + 1; after closings a hidden tab is reused, so no open page is ever
// replaced. With 23 visible tabs, or with no hidden tab left from tab 2 on, the request is refused with
// the limit message and the tabs stay as they are; the component then opens a window of its own.
// The window still has to hand the target browser to the request, set Command7, and make the current
// browser silent.
NewWindowDecision placeNewWindow(TabStripModel& tabs);

}  // namespace pluvik

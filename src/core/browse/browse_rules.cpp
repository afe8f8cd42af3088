#include "browse/browse_rules.h"

#include <algorithm>
#include <string_view>

namespace pluvik {

TabStripModel makeBrowseTabStrip() {
    TabStripModel tabs(kTabCount, kTabsPerRowAtLoad);
    for (int i = 0; i < kTabCount; ++i) tabs.setCaption(i, "Tab " + std::to_string(i));
    tabs.setCurrent(0);
    tabs.setVisible(0, true);
    for (int i = 1; i < kTabCount; ++i) tabs.setVisible(i, false);
    return tabs;
}

AddressEntry addressEntry(const std::string& boxText, const std::vector<std::string>& list,
                          EntryTrigger trigger) {
    AddressEntry entry;
    const std::string_view prefix = kHttpPrefix;
    entry.boxText = boxText.starts_with(prefix) ? boxText : std::string(prefix) + boxText;
    entry.navigateTo = entry.boxText;
    entry.appendToList =
        trigger == EntryTrigger::EnterKey && std::find(list.begin(), list.end(), entry.boxText) == list.end();
    return entry;
}

bool closeCurrentTab(TabStripModel& tabs) {
    if (tabs.visibleCount() <= 1) return false;
    const int t = tabs.current();
    tabs.setVisible(t, false);
    // setCurrent refuses a hidden tab t - 1; the strip's choice made by setVisible then stands.
    if (tabs.visibleCount() > 1 && t > 0) tabs.setCurrent(t - 1);
    return true;
}

bool quickCloseTab(TabStripModel& tabs) {
    if (tabs.visibleCount() <= 1) return false;
    tabs.setVisible(tabs.current(), false);
    return true;
}

int tabsPerRowFor(int currentIndex, int previous) {
    if (currentIndex <= 3) return previous;
    // A chain of steps, each taken only after the one before it, so within one page the larger
    // value always wins; a later page starts the chain again from its own tab.
    int value = 5;
    if (currentIndex > 5) {
        value = 10;
        if (currentIndex > 10) {
            value = 15;
            if (currentIndex > 15) value = 24;
        }
    }
    return value;
}

namespace {

// Tab 1 is skipped on purpose: pages from pages start at tab 2, and tab 0 holds the first page.
int firstFreeTab(const TabStripModel& tabs) {
    for (int i = 2; i < tabs.tabCount(); ++i) {
        if (!tabs.isVisible(i)) return i;
    }
    return -1;
}

}  // namespace

NewWindowDecision placeNewWindow(TabStripModel& tabs) {
    NewWindowDecision d;
    d.visibleBefore = tabs.visibleCount();
    d.command7EnabledBefore = d.visibleBefore > 1;
    d.command7Enabled = d.command7EnabledBefore;
    const int target = d.visibleBefore < kMaxVisible ? firstFreeTab(tabs) : -1;
    if (target < 0) {
        d.showLimitMessage = true;
        return d;
    }
    tabs.setVisible(target, true);
    tabs.setCurrent(target);
    tabs.setTabsPerRow(tabsPerRowFor(target, tabs.tabsPerRow()));
    d.accepted = true;
    d.targetTab = target;
    d.command7Enabled = true;
    return d;
}

}  // namespace pluvik

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pluvik {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The state of a tab strip shared by every tabbed window: a fixed number of tabs, each with a caption
// and a visibility flag, one current tab, one caption colour and the number of tabs per row.
// Tabs are never created or destroyed, only shown and hidden.
class TabStripModel {
public:
    explicit TabStripModel(int tabCount, int tabsPerRow = 0);

    int tabCount() const { return static_cast<int>(m_tabs.size()); }
    int current() const { return m_current; }
    // Selecting a hidden tab or an index out of range is refused (returns false).
    bool setCurrent(int index);

    const std::string& caption(int index) const;
    void setCaption(int index, std::string caption);

    bool isVisible(int index) const;
    // Hiding the current tab moves the selection to the nearest visible tab (the following one on a
    // tie); with no visible tab left the index stays where it was. Showing a tab while the current
    // one is hidden selects the shown tab.
    void setVisible(int index, bool visible);
    int visibleCount() const;
    std::vector<int> visibleTabs() const;

    // 0 means "all tabs in one row".
    int tabsPerRow() const { return m_tabsPerRow; }
    void setTabsPerRow(int n) { m_tabsPerRow = n < 0 ? 0 : n; }

    Rgb captionColor() const { return m_color; }
    void setCaptionColor(Rgb color) { m_color = color; }

    // Rows of visible tabs as the strip lays them out, first row first.
    std::vector<std::vector<int>> rows() const;

private:
    struct Tab {
        std::string caption;
        bool visible = true;
    };
    bool valid(int index) const { return index >= 0 && index < tabCount(); }
    int nearestVisible(int index) const;

    std::vector<Tab> m_tabs;
    int m_current = 0;
    int m_tabsPerRow = 0;
    Rgb m_color{};
};

}  // namespace pluvik

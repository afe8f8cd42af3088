#include "search/tab_strip_model.h"

#include <algorithm>

namespace pluvik {

TabStripModel::TabStripModel(int tabCount, int tabsPerRow)
    : m_tabs(static_cast<size_t>(tabCount > 0 ? tabCount : 0)), m_tabsPerRow(tabsPerRow) {}

bool TabStripModel::setCurrent(int index) {
    if (!valid(index) || !m_tabs[static_cast<size_t>(index)].visible) return false;
    m_current = index;
    return true;
}

const std::string& TabStripModel::caption(int index) const {
    static const std::string kEmpty;
    return valid(index) ? m_tabs[static_cast<size_t>(index)].caption : kEmpty;
}

void TabStripModel::setCaption(int index, std::string caption) {
    if (valid(index)) m_tabs[static_cast<size_t>(index)].caption = std::move(caption);
}

bool TabStripModel::isVisible(int index) const {
    return valid(index) && m_tabs[static_cast<size_t>(index)].visible;
}

void TabStripModel::setVisible(int index, bool visible) {
    if (!valid(index)) return;
    m_tabs[static_cast<size_t>(index)].visible = visible;
    if (!visible && index == m_current) {
        int next = nearestVisible(index);
        if (next >= 0) m_current = next;
    } else if (visible && !isVisible(m_current)) {
        m_current = index;
    }
}

int TabStripModel::nearestVisible(int index) const {
    for (int distance = 1; distance < tabCount(); ++distance) {
        if (isVisible(index + distance)) return index + distance;
        if (isVisible(index - distance)) return index - distance;
    }
    return -1;
}

int TabStripModel::visibleCount() const {
    int n = 0;
    for (const Tab& t : m_tabs) n += t.visible ? 1 : 0;
    return n;
}

std::vector<int> TabStripModel::visibleTabs() const {
    std::vector<int> out;
    for (int i = 0; i < tabCount(); ++i) {
        if (m_tabs[static_cast<size_t>(i)].visible) out.push_back(i);
    }
    return out;
}

std::vector<std::vector<int>> TabStripModel::rows() const {
    std::vector<std::vector<int>> out;
    const std::vector<int> visible = visibleTabs();
    const size_t perRow = m_tabsPerRow > 0 ? static_cast<size_t>(m_tabsPerRow) : visible.size();
    for (size_t i = 0; i < visible.size(); i += perRow) {
        out.emplace_back(visible.begin() + static_cast<long>(i),
                         visible.begin() + static_cast<long>(std::min(i + perRow, visible.size())));
    }
    return out;
}

}  // namespace pluvik

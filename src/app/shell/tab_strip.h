#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <type_traits>
#include <utility>
#include <vector>

#include "search/tab_strip_model.h"

namespace pluvik {

// The tab strip of every tabbed window: a fixed number of tabs laid out in rows, each tab with a
// caption, a visibility flag and a page widget that holds the tab's controls. Only the current
// tab's page is shown; hidden tabs keep their pages (and whatever is loading in them).
class TabStrip : public QWidget {
    Q_OBJECT
public:
    TabStrip(int tabCount, QWidget* parent = nullptr);

    const TabStripModel& model() const { return m_model; }
    // Runs a core tab rule on the strip's model, then shows the result (pages, selection, paint).
    // Returns what the rule returned.
    template <class Rule>
    auto edit(Rule&& rule) -> decltype(rule(std::declval<TabStripModel&>())) {
        const int before = m_model.current();
        if constexpr (std::is_void_v<decltype(rule(m_model))>) {
            rule(m_model);
            sync(before);
        } else {
            auto result = rule(m_model);
            sync(before);
            return result;
        }
    }
    int tabCount() const { return m_model.tabCount(); }

    int current() const { return m_model.current(); }
    bool setCurrent(int index);

    QString caption(int index) const;
    void setCaption(int index, const QString& caption);

    bool isTabVisible(int index) const { return m_model.isVisible(index); }
    void setTabVisible(int index, bool visible);
    int visibleCount() const { return m_model.visibleCount(); }

    int tabsPerRow() const { return m_model.tabsPerRow(); }
    void setTabsPerRow(int n);

    QColor captionColor() const;
    void setCaptionColor(const QColor& color);

    // A mark on tab `index`: a dot of `color` in its corner and `text` in its tooltip, the caption
    // untouched. An empty text takes the mark away.
    void setMark(int index, const QString& text, const QColor& color = Qt::red);
    QString markText(int index) const { return m_marks.at(static_cast<size_t>(index)).first; }
    // What the tooltip of tab `index` says: the caption when it is cut, then the mark's text.
    QString toolTipText(int index) const;

    QWidget* page(int index) const { return m_pages.at(static_cast<size_t>(index)); }
    // Pins the page area (in strip coordinates); by default it fills the space below the tab rows.
    void setPageRect(const QRect& rect);

    // Where tab `index` is drawn, empty for a hidden tab. Tests click here.
    QRect tabRect(int index) const;

signals:
    void currentChanged(int index);
    void tabDoubleClicked(int index);
    void mousePressed(Qt::MouseButton button, const QPoint& globalPos);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect pageRect() const;
    // Every shown tab and where it is drawn, measured once for all of them.
    std::vector<std::pair<int, QRect>> tabRects() const;
    int tabAt(const QPoint& pos) const;
    // Whether the caption of tab `index` is too long for its tab (and shows in a tooltip).
    bool captionCut(int index) const;
    int rowHeight() const;
    void sync(int previousCurrent);
    QFont captionFont(bool selected) const;

    TabStripModel m_model;
    std::vector<QWidget*> m_pages;
    QRect m_fixedPageRect;
    std::vector<std::pair<QString, QColor>> m_marks;
};

}  // namespace pluvik

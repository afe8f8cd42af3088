#include "shell/tab_strip.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <QToolTip>
#include <algorithm>

#include "platform/qt_text.h"
#include "search/tab_row.h"

namespace pluvik {

TabStrip::TabStrip(int tabCount, QWidget* parent)
    : QWidget(parent), m_model(tabCount), m_marks(static_cast<size_t>(tabCount)) {
    for (int i = 0; i < tabCount; ++i) {
        auto* page = new QWidget(this);
        page->setObjectName(QStringLiteral("page%1").arg(i));
        page->setVisible(i == m_model.current());
        m_pages.push_back(page);
    }
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    sync(m_model.current());
}

bool TabStrip::setCurrent(int index) {
    const int before = m_model.current();
    if (!m_model.setCurrent(index)) return false;
    sync(before);
    return true;
}

QString TabStrip::caption(int index) const {
    return toQ(m_model.caption(index));
}

void TabStrip::setCaption(int index, const QString& caption) {
    m_model.setCaption(index, toStd(caption));
    update();
}

void TabStrip::setTabVisible(int index, bool visible) {
    const int before = m_model.current();
    m_model.setVisible(index, visible);
    sync(before);
}

void TabStrip::setTabsPerRow(int n) {
    const int before = m_model.current();
    m_model.setTabsPerRow(n);
    sync(before);
}

void TabStrip::setMark(int index, const QString& text, const QColor& color) {
    m_marks.at(static_cast<size_t>(index)) = {text, color};
    update();
}

QString TabStrip::toolTipText(int index) const {
    QStringList lines;
    if (captionCut(index)) lines << caption(index);
    if (!markText(index).isEmpty()) lines << markText(index);
    return lines.join(QLatin1Char('\n'));
}

QColor TabStrip::captionColor() const {
    const Rgb c = m_model.captionColor();
    return QColor(c.r, c.g, c.b);
}

void TabStrip::setCaptionColor(const QColor& color) {
    m_model.setCaptionColor({static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                             static_cast<uint8_t>(color.blue())});
    update();
}

int TabStrip::rowHeight() const {
    return fontMetrics().height() + 10;
}

void TabStrip::setPageRect(const QRect& rect) {
    m_fixedPageRect = rect;
    sync(m_model.current());
}

QRect TabStrip::pageRect() const {
    if (!m_fixedPageRect.isNull()) return m_fixedPageRect;
    const int rows = std::max<int>(1, static_cast<int>(m_model.rows().size()));
    const int top = rows * rowHeight() + 4;
    return QRect(4, top, std::max(0, width() - 8), std::max(0, height() - top - 4));
}

namespace {

// Room beside a caption inside its tab.
constexpr int kCaptionPadding = 12;
// The widest caption a tab of a row shared by captions makes room for: six Chinese characters.
const QString kWidestCaption = QStringLiteral("汉汉汉汉汉汉");

}  // namespace

// Captions are measured in the bold face of the current tab, so selecting a tab never cuts it.
QFont TabStrip::captionFont(bool selected) const {
    QFont f = font();
    f.setBold(selected);
    return f;
}

std::vector<std::pair<int, QRect>> TabStrip::tabRects() const {
    std::vector<std::pair<int, QRect>> out;
    const auto rows = m_model.rows();
    const int perRow = m_model.tabsPerRow();
    const QFontMetrics bold(captionFont(true));
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        std::vector<int> widths;
        if (perRow > 0) {
            widths.assign(row.size(), (width() - 2) / perRow);
        } else {
            // One row for all tabs: each as wide as its caption, the row filled.
            std::vector<int> wanted;
            for (int tab : row) wanted.push_back(bold.horizontalAdvance(caption(tab)) + kCaptionPadding);
            widths =
                tabRowWidths(wanted, width() - 2, bold.horizontalAdvance(kWidestCaption) + kCaptionPadding);
        }
        int left = 1;
        for (size_t k = 0; k < row.size(); ++k) {
            out.emplace_back(row[k], QRect(left, static_cast<int>(r) * rowHeight(), widths[k], rowHeight()));
            left += widths[k];
        }
    }
    return out;
}

QRect TabStrip::tabRect(int index) const {
    for (const auto& [tab, r] : tabRects())
        if (tab == index) return r;
    return {};
}

bool TabStrip::captionCut(int index) const {
    const QRect r = tabRect(index);
    return !r.isEmpty() &&
           QFontMetrics(captionFont(index == current())).horizontalAdvance(caption(index)) > r.width() - 5;
}

int TabStrip::tabAt(const QPoint& pos) const {
    for (const auto& [tab, r] : tabRects())
        if (r.contains(pos)) return tab;
    return -1;
}

void TabStrip::sync(int previousCurrent) {
    const int cur = m_model.current();
    const QRect area = pageRect();
    for (int i = 0; i < tabCount(); ++i) {
        QWidget* p = m_pages[static_cast<size_t>(i)];
        p->setGeometry(area);
        p->setVisible(i == cur && m_model.isVisible(i));
    }
    update();
    if (cur != previousCurrent) emit currentChanged(cur);
}

void TabStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = pageRect();
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(area.adjusted(-2, -2, 1, 1));
    const QColor text = captionColor();
    for (const auto& [i, tab] : tabRects()) {
        const QRect r = tab.adjusted(0, 1, -1, 0);
        const bool selected = i == m_model.current();
        painter.fillRect(r, selected ? palette().base() : palette().button());
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(r);
        const QFont f = captionFont(selected);
        painter.setFont(f);
        painter.setPen(text);
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine,
                         QFontMetrics(f).elidedText(caption(i), Qt::ElideRight, r.width() - 4));
        if (!markText(i).isEmpty()) {
            // Sized from the font, so the dot reads at any scale; in the corner, clear of the caption.
            const int d = std::max(4, fontMetrics().height() / 3);
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(m_marks.at(static_cast<size_t>(i)).second);
            painter.drawEllipse(QRect(r.right() - d - 2, r.top() + 3, d, d));
            painter.restore();
        }
        if (selected && hasFocus()) {
            // Keyboard users see where the keys go (the menu key opens the tab menu here).
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = r.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void TabStrip::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int index = tabAt(pos);
    // A right click selects the tab first, as in every tab bar: the tab menu's commands act on the
    // current tab, which is then the one the user pointed at.
    if (index >= 0 && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        setCurrent(index);
    emit mousePressed(event->button(), event->globalPosition().toPoint());
}

bool TabStrip::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // A caption too long for its tab shows whole in a tooltip, and a mark says what it means.
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = tabAt(help->pos());
        const QString tip = index >= 0 ? toolTipText(index) : QString();
        if (!tip.isEmpty())
            QToolTip::showText(help->globalPos(), tip, this, tabRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TabStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = tabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0) emit tabDoubleClicked(index);
}

void TabStrip::resizeEvent(QResizeEvent*) {
    sync(m_model.current());
}

}  // namespace pluvik

#include "update/status_line.h"

#include <QEvent>
#include <QPainter>

namespace pluvik {

namespace {
constexpr int kLines = 2;
constexpr int kPadding = 2;
constexpr Qt::Alignment kAlignment = Qt::AlignLeft | Qt::AlignVCenter;
}  // namespace

StatusLine::StatusLine(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(text);
    fitHeight();
}

void StatusLine::showNow(const QString& text) {
    m_text = text;
    setAccessibleName(text);
    repaint();
}

QSize StatusLine::sizeHint() const {
    return {fontMetrics().averageCharWidth() * 40, height()};
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().brush(backgroundRole()));
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(rect().adjusted(0, kPadding, 0, -kPadding), kAlignment | Qt::TextWordWrap, m_text);
}

void StatusLine::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) fitHeight();
    QWidget::changeEvent(event);
}

void StatusLine::fitHeight() {
    setFixedHeight(fontMetrics().lineSpacing() * kLines + 2 * kPadding);
}

}  // namespace pluvik

#include "windows/link_label.h"

#include <QMouseEvent>

namespace pluvik {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
    // The address is shown as plain text, never interpreted as markup.
    setTextFormat(Qt::PlainText);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace pluvik

#include "shell/window_parts.h"

#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace pluvik {

void useProgramFont(QWidget* window) {
    QFont font = window->font();
    font.setPixelSize(12);
    window->setFont(font);
}

QLabel* pictureBox(QWidget* parent, const QString& name, const QString& resource, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(resource));
    label->setGeometry(geometry);
    return label;
}

}  // namespace pluvik

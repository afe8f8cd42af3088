#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace pluvik {

// The program's windows share one look: a 12-pixel font (the size their layouts are made for).
void useProgramFont(QWidget* window);

// A picture box: a fixed picture from the program's resources at a fixed place.
QLabel* pictureBox(QWidget* parent, const QString& name, const QString& resource, const QRect& geometry);

}  // namespace pluvik

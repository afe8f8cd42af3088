#pragma once

#include <QLabel>

namespace pluvik {

// A label that reads and acts as a link: blue underlined text, the hand cursor, and a click signal
// for a left click that is released over the label.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace pluvik

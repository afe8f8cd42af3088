#pragma once

#include <QString>
#include <QWidget>

namespace pluvik {

// The update window's status line: up to two lines of text, wrapped at word boundaries.
//
// A download sets it and repaints it for every 2 KB piece, thousands of times a second, so it is
// made cheap to repaint: its height stays the same whatever the text (a new text never lays out
// the window again), it paints its own background (nothing beneath it is painted again) and it draws
// its text directly, without a label's rich-text detection and size-hint bookkeeping.
class StatusLine : public QWidget {
public:
    explicit StatusLine(const QString& text = {}, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    // The new text is on the screen when this returns.
    void showNow(const QString& text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitHeight();

    QString m_text;
};

}  // namespace pluvik

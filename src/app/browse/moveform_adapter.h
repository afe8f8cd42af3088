#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "shell/gettask.h"
#include "shell/moveform.h"

class QScreen;

namespace pluvik {

// Window geometry is designed in twips at 15 twips per (logical) pixel; Qt's own high-DPI scaling
// takes care of denser screens, so the factor stays fixed.
inline constexpr double kTwipsPerPixel = 15.0;

// The dynamic property of a widget that holds its tag text (the recorded design geometry).
inline constexpr char kTagProperty[] = "Tag";

// One widget as Moveform sees it: geometry in twips relative to its parent, the tag in kTagProperty.
class WidgetLayoutControl : public LayoutControl {
public:
    explicit WidgetLayoutControl(QWidget* widget, double twipsPerPixel = kTwipsPerPixel);

    bool hasGeometry() const override;
    double left() const override;
    double top() const override;
    double width() const override;
    double height() const override;
    std::string tag() const override;
    void setTag(std::string tag) override;
    bool canMove() const override;
    void move(double left, double top, double width, double height) override;

    QWidget* widget() const { return m_widget; }

private:
    QPointer<QWidget> m_widget;
    double m_twipsPerPixel;
};

// The inner area of a window (the widget that holds its controls) as Moveform sees it: its size in
// twips and its direct child widgets in creation order. Controls inside a container (the pages of a
// tab strip, the text of a status bar) are laid out by that container.
class WidgetLayoutWindow : public LayoutWindow {
public:
    explicit WidgetLayoutWindow(QWidget* area, double twipsPerPixel = kTwipsPerPixel);

    double scaleWidth() const override;
    double scaleHeight() const override;
    std::vector<LayoutControl*> controls() override;

private:
    QPointer<QWidget> m_area;
    double m_twipsPerPixel;
    std::vector<std::unique_ptr<WidgetLayoutControl>> m_controls;
};

// Keeps the controls of one window's inner area in proportion: record() takes the design layout,
// and every later resize of the area scales the controls from it.
class ProportionalLayout : public QObject {
    Q_OBJECT
public:
    explicit ProportionalLayout(QWidget* area);

    void record();
    void scale();
    const Moveform& moveform() const { return m_moveform; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_area;
    WidgetLayoutWindow m_window;
    Moveform m_moveform;
};

// The screen in the terms of Gettask: its height in twips and the bottom of its work area.
ScreenMetrics screenMetrics(const QScreen& screen);
// Height in pixels of the strip below the work area of `screen` (the taskbar at the bottom).
int taskbarHeightPixels(const QScreen& screen);

}  // namespace pluvik

#include "browse/moveform_adapter.h"

#include <QEvent>
#include <QScreen>

#include "platform/qt_text.h"

namespace pluvik {

WidgetLayoutControl::WidgetLayoutControl(QWidget* widget, double twipsPerPixel)
    : m_widget(widget), m_twipsPerPixel(twipsPerPixel) {}

// Popups and other top-level widgets parented to the area (a context menu) have no place in it.
bool WidgetLayoutControl::hasGeometry() const {
    return m_widget && !m_widget->isWindow();
}

double WidgetLayoutControl::left() const {
    return m_widget ? twipsFromPixels(m_widget->x(), m_twipsPerPixel) : 0;
}
double WidgetLayoutControl::top() const {
    return m_widget ? twipsFromPixels(m_widget->y(), m_twipsPerPixel) : 0;
}
double WidgetLayoutControl::width() const {
    return m_widget ? twipsFromPixels(m_widget->width(), m_twipsPerPixel) : 0;
}
double WidgetLayoutControl::height() const {
    return m_widget ? twipsFromPixels(m_widget->height(), m_twipsPerPixel) : 0;
}

std::string WidgetLayoutControl::tag() const {
    return m_widget ? toStd(m_widget->property(kTagProperty).toString()) : std::string();
}

void WidgetLayoutControl::setTag(std::string tag) {
    if (m_widget) m_widget->setProperty(kTagProperty, toQ(tag));
}

bool WidgetLayoutControl::canMove() const {
    return hasGeometry();
}

void WidgetLayoutControl::move(double left, double top, double width, double height) {
    if (!m_widget) return;
    m_widget->setGeometry(pixelsFromTwips(left, m_twipsPerPixel), pixelsFromTwips(top, m_twipsPerPixel),
                          pixelsFromTwips(width, m_twipsPerPixel), pixelsFromTwips(height, m_twipsPerPixel));
}

WidgetLayoutWindow::WidgetLayoutWindow(QWidget* area, double twipsPerPixel)
    : m_area(area), m_twipsPerPixel(twipsPerPixel) {}

double WidgetLayoutWindow::scaleWidth() const {
    return m_area ? m_area->width() * m_twipsPerPixel : 0;
}
double WidgetLayoutWindow::scaleHeight() const {
    return m_area ? m_area->height() * m_twipsPerPixel : 0;
}

std::vector<LayoutControl*> WidgetLayoutWindow::controls() {
    m_controls.clear();
    std::vector<LayoutControl*> out;
    if (!m_area) return out;
    for (QWidget* child : m_area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        m_controls.push_back(std::make_unique<WidgetLayoutControl>(child, m_twipsPerPixel));
        out.push_back(m_controls.back().get());
    }
    return out;
}

ProportionalLayout::ProportionalLayout(QWidget* area) : QObject(area), m_area(area), m_window(area) {
    area->installEventFilter(this);
}

void ProportionalLayout::record() {
    m_moveform.RecordLayout(m_window);
}

void ProportionalLayout::scale() {
    m_moveform.ScaleLayout(m_window);
}

bool ProportionalLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_area && event->type() == QEvent::Resize) scale();
    return QObject::eventFilter(watched, event);
}

ScreenMetrics screenMetrics(const QScreen& screen) {
    const QRect whole = screen.geometry();
    const QRect work = screen.availableGeometry();
    // The bottom edge as the system reports it: the first row below the work area, from the
    // screen's own top.
    return {whole.height() * kTwipsPerPixel, kTwipsPerPixel, work.y() + work.height() - whole.y()};
}

int taskbarHeightPixels(const QScreen& screen) {
    return pixelsFromTwips(TaskbarHeight(screenMetrics(screen)), kTwipsPerPixel);
}

}  // namespace pluvik

#include "browse/browse_windows.h"

#include "browse/browse_window.h"
#include "platform/browser_view.h"
#include "shell/settings.h"

namespace pluvik {

BrowseWindows::BrowseWindows(ProgramServices services, QWidget* parent)
    : QObject(parent), m_services(std::move(services)) {}

BrowseWindows::~BrowseWindows() {
    const QList<QPointer<BrowseWindow>> open = m_windows;
    m_windows.clear();
    for (const QPointer<BrowseWindow>& window : open) {
        if (window) {
            window->disconnect(this);
            delete window.data();
        }
    }
}

BrowseWindow* BrowseWindows::create() {
    auto* window = new BrowseWindow(m_services);
    m_windows.append(window);
    connect(window, &BrowseWindow::closing, this, [this, window] { forget(window); });
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });
    window->show();
    return window;
}

BrowseWindow* BrowseWindows::defaultInstance() {
    if (!m_default) {
        m_default = create();
        return m_default;
    }
    if (m_default->isMinimized())
        m_default->showNormal();
    else
        m_default->show();
    m_default->raise();
    m_default->activateWindow();
    return m_default;
}

QList<BrowseWindow*> BrowseWindows::windows() const {
    QList<BrowseWindow*> out;
    for (const QPointer<BrowseWindow>& window : m_windows) {
        if (window) out.append(window.data());
    }
    return out;
}

void BrowseWindows::closeAll() {
    for (BrowseWindow* window : windows()) window->close();
}

void BrowseWindows::forget(BrowseWindow* window) {
    // Compared by address only: the window may be in the middle of its destruction.
    m_windows.removeIf(
        [window](const QPointer<BrowseWindow>& p) { return p.isNull() || p.data() == window; });
    if (m_default.data() == window) m_default.clear();
}

BrowseWindow* BrowseWindows::RouteNewWindow(NewWindowSlot& slot) {
    if (!m_services.settings.current().sousuo) return nullptr;
    BrowseWindow* window = create();
    slot.target = window->currentBrowser();
    return window;
}

BrowseWindow* BrowseWindows::openDefaultInstance() const {
    return m_default;
}

void BrowseWindows::routeNewWindowsOf(BrowserView* view, QObject* receiver) {
    QObject::connect(view, &BrowserView::NewWindow2, receiver,
                     [this](NewWindowSlot& slot) { RouteNewWindow(slot); });
}

}  // namespace pluvik

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "app_context.h"

class QWidget;

namespace pluvik {

class BrowseWindow;
class BrowserView;
struct NewWindowSlot;

// The program's open secondary browser windows. Windows are top-level (no parent widget), so each
// stands on its own beside the main window; a window that closes leaves the collection at once.
// Whatever is still open when the collection goes is deleted with it, so keep it alive no longer
// than the browser profile.
class BrowseWindows : public QObject {
    Q_OBJECT
public:
    // `parent` only owns the collection.
    explicit BrowseWindows(ProgramServices services, QWidget* parent = nullptr);
    ~BrowseWindows() override;

    // A new window, shown; its load sequence has run before it shows.
    BrowseWindow* create();
    // The one default window of the menu command and the trace cleaner: created on first use, and
    // shown and raised on every call. After it has been closed the next call creates a new one.
    BrowseWindow* defaultInstance();
    // The default window if it is open, without creating or showing it.
    BrowseWindow* openDefaultInstance() const;
    // Every open window, oldest first.
    QList<BrowseWindow*> windows() const;
    void closeAll();

    // The one routing of new-window requests for every browsing window of the program. With links
    // set to the program's own browser (sousuo, read through the settings store, so live values of
    // an open options dialog count), a new window is created and shown and the page goes into its
    // tab 0, in place of the home page the window has just started to load. Otherwise the slot
    // stays empty and the page opens in the system web browser. Every request gets its own window.
    // Returns the window that took the page, if any.
    BrowseWindow* RouteNewWindow(NewWindowSlot& slot);
    // Sends every new-window request of `view` through RouteNewWindow, for as long as `receiver`
    // lives (the collection outlives every window).
    void routeNewWindowsOf(BrowserView* view, QObject* receiver);

private:
    void forget(BrowseWindow* window);

    ProgramServices m_services;
    QList<QPointer<BrowseWindow>> m_windows;
    QPointer<BrowseWindow> m_default;
};

}  // namespace pluvik

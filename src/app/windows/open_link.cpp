#include "windows/open_link.h"

#include <QComboBox>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "shell/settings.h"
#include "windows/open_link_decision.h"

namespace pluvik {

namespace {

// The one place that knows how a secondary browser window is made and addressed.
BrowseWindow* openInNewBrowseWindow(BrowseWindows& windows, const QString& address) {
    BrowseWindow* window = windows.create();
    window->addressBox()->setEditText(address);
    if (BrowserView* view = window->currentBrowser()) view->Navigate(window->addressBox()->currentText());
    return window;
}

}  // namespace

BrowseWindow* OpenLink(const AppContext& ctx, QWidget* owner, const QString& address) {
    const LinkDecision decision = decideOpenLink(ctx.settings.current().sousuo, toStd(address));
    ctx.trace.record("open_link", {{"url", address}, {"route", static_cast<int>(decision.route)}});
    switch (decision.route) {
        case LinkRoute::NewBrowseWindow:
            return openInNewBrowseWindow(ctx.browseWindows, address);
        case LinkRoute::Shell:
            ctx.shell.open(owner, QUrl(address));
            return nullptr;
        case LinkRoute::Ignore:
            return nullptr;
    }
    return nullptr;
}

void OpenBugReport(ShellOpener& shell, QWidget* owner) {
    shell.open(owner, QUrl(toQ(bugReportAddress())));
}

}  // namespace pluvik

// New windows a page asks for: refused without the user's action, otherwise routed to a browser of
// the program or to the desktop.
#include <QWebEngineNewWindowRequest>

#include "platform/qt_text.h"
#include "platform/shell_opener.h"
#include "platform/silent_page.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"

namespace pluvik {

void WebBrowserView::onNewWindowRequested(QWebEngineNewWindowRequest& request) {
    const QString requested = request.requestedUrl().toString(QUrl::FullyEncoded);
    if (m_session.newWindowRequested(request.isUserInitiated()) == NewWindowStep::Refuse) {
        traced("popup_refused", {{"url", requested}});
        return;
    }
    NewWindowSlot slot{request.requestedUrl(), nullptr};
    emit NewWindow2(slot);
    if (m_trace.enabled())
        m_trace.record("new_window", {{"browser", objectName()},
                                      {"url", slot.requestedUrl.toString(QUrl::FullyEncoded)},
                                      {"target", slot.target ? slot.target->objectName() : QString()}});
    auto* web = qobject_cast<WebBrowserView*>(slot.target);
    const NewWindowTarget target = web           ? NewWindowTarget::WebPage
                                   : slot.target ? NewWindowTarget::OtherView
                                                 : NewWindowTarget::None;
    switch (m_session.newWindowRouted(target, encodedAddress(slot.requestedUrl))) {
        case NewWindowStep::Adopt: {
            // A fresh page takes the new window, so whatever the target showed before cannot get in
            // the way of the adoption.
            SilentPage* page = web->newPage();
            web->installPage(page);
            web->run(web->m_session.adoptNewWindow());
            web->fitHiddenView();
            request.openIn(page);
            break;
        }
        case NewWindowStep::NavigateTarget:
            slot.target->Navigate(slot.requestedUrl.toString());
            break;
        case NewWindowStep::OpenOnDesktop:
            m_shell.open(this, slot.requestedUrl);
            break;
        case NewWindowStep::Refuse:
        case NewWindowStep::AskRouting:
            m_trace.record("popup_refused", {{"browser", objectName()},
                                             {"url", slot.requestedUrl.toString(QUrl::FullyEncoded)}});
            break;
    }
}

}  // namespace pluvik

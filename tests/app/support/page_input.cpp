#include "support/page_input.h"

#include <QTest>
#include <QWebEngineView>

#include "platform/web_browser_view.h"

namespace {

constexpr int kTries = 30;
constexpr int kTryMs = 1000;

bool repeatUntil(pluvik::BrowserView* browser, const std::function<void(QWidget*)>& input,
                 const std::function<bool()>& done) {
    auto* web = qobject_cast<pluvik::WebBrowserView*>(browser);
    if (!web) return false;
    for (int i = 0; i < kTries; ++i) {
        // The page's scripts listen once it has loaded; while the engine builds a new widget for
        // the page (a new renderer), there is nothing to give input to.
        QWidget* page = web->view()->focusProxy();
        if (page && web->hasPage() && !web->isLoading()) input(page);
        if (QTest::qWaitFor(done, kTryMs)) return true;
    }
    return false;
}

}  // namespace

bool clickInPageUntil(pluvik::BrowserView* browser, const std::function<bool()>& done) {
    return repeatUntil(
        browser,
        [](QWidget* page) {
            QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(page->width() - 20, page->height() / 2));
        },
        done);
}

bool typeInPageUntil(pluvik::BrowserView* browser, const char* text, const std::function<bool()>& done) {
    const QString typed = QString::fromUtf8(text);
    return repeatUntil(
        browser,
        [&typed](QWidget* page) {
            page->setFocus();
            QTest::keyClicks(page, typed);
        },
        done);
}

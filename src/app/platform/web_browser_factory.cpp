#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "platform/app_paths.h"
#include "platform/renderer_watchdog.h"
#include "platform/web_browser_view.h"

namespace pluvik {

WebBrowserFactory::WebBrowserFactory(QWebEngineProfile* profile, QUrl homeUrl, Trace& trace, Dialogs& dialogs,
                                     ShellOpener& shell, const AnimationRate* animation)
    : m_profile(profile),
      m_homeUrl(std::move(homeUrl)),
      m_trace(trace),
      m_dialogs(dialogs),
      m_shell(shell),
      m_watchdog(std::make_unique<RendererWatchdog>(&trace)),
      m_animation(animation) {}

WebBrowserFactory::~WebBrowserFactory() = default;

BrowserView* WebBrowserFactory::create(QWidget* parent, const QString& objectName) {
    auto* view = new WebBrowserView(m_profile, m_homeUrl, m_trace, m_dialogs, m_shell, parent,
                                    m_watchdog.get(), m_animation);
    view->setObjectName(objectName);
    return view;
}

QWebEngineProfile* createSharedProfile(QObject* parent) {
    auto* profile = new QWebEngineProfile(QStringLiteral("Pluvik"), parent);
    profile->setPersistentStoragePath(userDataDirectory() + "/browser");
    profile->setCachePath(userCacheDirectory() + "/browser");
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    // No window of the program shows a page's icon: fetching one would be a request to every engine
    // at every search, and a hidden page frozen after its load would send it at the next search,
    // beside that search's own loads.
    profile->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    return profile;
}

}  // namespace pluvik

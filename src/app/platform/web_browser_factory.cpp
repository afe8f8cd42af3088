#include <QWebEngineProfile>

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
    return profile;
}

}  // namespace pluvik

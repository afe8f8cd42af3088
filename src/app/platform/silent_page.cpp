#include "platform/silent_page.h"

#include <QCoreApplication>
#include <QWebEngineCertificateError>
#include <QWebEngineSettings>

#include "platform/media_watch.h"

namespace pluvik {

namespace {

// The engine asks "leave this page?" through the confirmation hook, with this text of its own.
bool isLeaveQuestion(const QString& message) {
    return message ==
           QCoreApplication::translate(
               "QWebEnginePage",
               "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

}  // namespace

SilentPage::SilentPage(QWebEngineProfile* profile, const bool* silent, QObject* parent)
    : QWebEnginePage(profile, parent), m_silent(silent) {
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                if (*m_silent) setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError& error) {
        QWebEngineCertificateError e = error;
        e.rejectCertificate();
    });
    // Authentication requests are left unanswered, which cancels them: no dialog appears.
    // Addresses of other programs (mail, messengers, download tools) are never handed to the
    // desktop from a page: a page could start any handler that way.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
}

void SilentPage::javaScriptAlert(const QUrl& origin, const QString& msg) {
    if (!*m_silent) QWebEnginePage::javaScriptAlert(origin, msg);
}

bool SilentPage::javaScriptConfirm(const QUrl& origin, const QString& msg) {
    if (*m_silent) return isLeaveQuestion(msg);
    return QWebEnginePage::javaScriptConfirm(origin, msg);
}

bool SilentPage::javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& def,
                                  QString* result) {
    return *m_silent ? false : QWebEnginePage::javaScriptPrompt(origin, msg, def, result);
}

void SilentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                          const QString&) {
    // Pages' console output is theirs, not the program's; only the media watch speaks there too.
    MediaWatch::heard(this, message);
}

}  // namespace pluvik

#pragma once

#include <QWebEnginePage>

namespace pluvik {

// A page that, in silent mode, raises no dialog of its own: script alerts, confirmations and
// prompts are answered "no", permission requests are denied and bad certificates are refused.
// "Leave this page?" is always answered "leave": a page must never keep the program from a search,
// a blank page or an address the user gave.
class SilentPage : public QWebEnginePage {
public:
    // `silent` is the view's switch, read at every question.
    SilentPage(QWebEngineProfile* profile, const bool* silent, QObject* parent);

protected:
    void javaScriptAlert(const QUrl& origin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& def,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override;

private:
    const bool* m_silent;
};

}  // namespace pluvik

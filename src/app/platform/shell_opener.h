#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QWidget;

namespace pluvik {

class Dialogs;

// Hands an address or a file to the desktop's opener for it (xdg-open: the default web browser, the
// mail program, the program for a downloaded package). Never through a command interpreter: the
// address is the opener's one argument. When the opener is missing, cannot start or reports that it
// failed, the user is told which address or file could not be opened. Tests install a hook, so no
// real browser is ever started.
class ShellOpener {
public:
    using Hook = std::function<void(QWidget* owner, const QUrl& url)>;

    explicit ShellOpener(Dialogs& dialogs, QString opener = QStringLiteral("xdg-open"));
    ~ShellOpener();

    void open(QWidget* owner, const QUrl& url);
    void setTestHook(Hook hook) { m_hook = std::move(hook); }

private:
    Dialogs& m_dialogs;
    QString m_opener;
    Hook m_hook;
    // Openers still running when the program ends report to nobody.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

}  // namespace pluvik

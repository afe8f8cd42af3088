#pragma once

#include <QUrl>
#include <functional>

class QWidget;

namespace pluvik {

// Hands an address to the system's handler for it (the default web browser, the mail program).
// Never through a command interpreter: the address goes to QDesktopServices as a URL. A failure is
// ignored, as the user sees the handler's own report if it has one. Tests install a hook, so no real
// browser is ever started.
class ShellOpener {
public:
    using Hook = std::function<void(QWidget* owner, const QUrl& url)>;

    void open(QWidget* owner, const QUrl& url);
    void setTestHook(Hook hook) { m_hook = std::move(hook); }

private:
    Hook m_hook;
};

}  // namespace pluvik

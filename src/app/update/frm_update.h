#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/internet_session.h"
#include "update/update_check.h"

class QPushButton;

namespace pluvik {

class Dialogs;
class EngineCatalogue;
class EngineListPanel;
class ShellOpener;
class Trace;
class StatusLine;

// The update dialog frmUpdate, "检查更新": asks the maker's server for the latest version, downloads
// the package into the program directory when it is newer, and opens it with the system. When the
// server offers an engines list, the window grows to list what it would change (EngineListPanel).
//
// While a check runs, both buttons are disabled. Closing the window then gives the transfer up (the
// half file is removed) and the window closes as soon as the transfer has wound down. It closes
// itself for good (deletes itself) when closed.
class frmUpdate : public QWidget {
    Q_OBJECT
public:
    using SessionFactory = std::function<std::unique_ptr<InternetSession>()>;

    // A downloaded package is opened through `shell` (the system's registered program); an engines
    // list changes `engines`.
    frmUpdate(Dialogs& dialogs, ShellOpener& shell, EngineCatalogue& engines, Trace& trace,
              const QString& programDir, QWidget* parent = nullptr);
    ~frmUpdate() override;

    // Where the sessions come from (the Qt Network one by default); tests hand in their own.
    void setSessionFactory(SessionFactory factory) { m_sessionFactory = std::move(factory); }
    void setAddresses(const UpdateAddresses& addresses);

    bool isChecking() const { return m_run != nullptr; }
    QString statusText() const;
    // LatestVersion, InstalledVersion and PackageDownloaded as the last check left them.
    const UpdateCheck& check() const { return *m_check; }

    // Command1 "检查更新": the whole check, returning when it is done (the window stays responsive
    // meanwhile). Command2 "退出" closes the window.
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Run;

    void showStatus(const QString& text);
    void setBusy(bool busy);
    void giveUp();

    Dialogs& m_dialogs;
    ShellOpener& m_shell;
    QString m_programDir;
    StatusLine* m_lblCount = nullptr;
    EngineListPanel* m_engineList = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    SessionFactory m_sessionFactory;
    // Shared with a running check, so the check can finish safely if the window is destroyed under it.
    std::shared_ptr<UpdateCheck> m_check;
    std::shared_ptr<Run> m_run;
    bool m_closeWhenDone = false;
};

}  // namespace pluvik

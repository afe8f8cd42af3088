#include "platform/shell_opener.h"

#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QWidget>

#include "platform/dialogs.h"

namespace pluvik {

ShellOpener::ShellOpener(Dialogs& dialogs, QString opener)
    : m_dialogs(dialogs), m_opener(std::move(opener)) {}

ShellOpener::~ShellOpener() = default;

void ShellOpener::open(QWidget* owner, const QUrl& url) {
    if (m_hook) {
        m_hook(owner, url);
        return;
    }
    const QString target = url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded);
    const QString shown = url.isLocalFile() ? QDir::toNativeSeparators(target) : url.toDisplayString();
    // The opener may run as long as the program it starts; it deletes itself when it ends, and is
    // left running when the program ends first.
    auto* process = new QProcess;
    process->setProgram(m_opener);
    process->setArguments({target});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QPointer<QWidget> parent(owner);
    auto report = [this, alive = std::weak_ptr<int>(m_alive), parent, shown, file = url.isLocalFile()] {
        if (alive.expired()) return;
        const QString what = file ? QStringLiteral("无法打开文件：") : QStringLiteral("无法打开网址：");
        m_dialogs.inform(parent, what + QStringLiteral("\r\n") + shown +
                                     QStringLiteral("\r\n系统中没有能打开它的程序，或者该程序未能启动。"));
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, report](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         process->deleteLater();
                         report();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, report](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0) report();
                     });
    process->start();
}

}  // namespace pluvik

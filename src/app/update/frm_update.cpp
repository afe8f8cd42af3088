#include "update/frm_update.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/shell_opener.h"
#include "shell/window_fit.h"
#include "shell/window_parts.h"
#include "update/qt_internet_session.h"
#include "update/engine_list_panel.h"
#include "update/status_line.h"
#include "platform/steady_tick_counter.h"

namespace pluvik {

// What a running check shares with the window: the window sets `cancelled` and aborts the session
// when it closes or is destroyed; the check owns both for as long as it runs.
struct frmUpdate::Run {
    bool cancelled = false;
    std::shared_ptr<InternetSession> session;
};

namespace {
const QSize kPlainSize(400, 170);
const QSize kWithEnginesSize(860, 440);

// A window that changes size keeps its centre where it was, but never leaves the work area.
void resizeInPlace(QWidget* window, const QSize& size) {
    const QRect before = window->geometry();
    if (before.size() == size) return;
    // The frame is measured before the resize, as the inner rectangle is: after it, frameGeometry
    // has the new size, and the margins would come out as wide as the window grew.
    const QRect frame = window->frameGeometry();
    window->setFixedSize(size);
    if (!window->isVisible() || !window->screen()) return;
    const FrameMargins margins{before.x() - frame.x(), before.y() - frame.y(), frame.right() - before.right(),
                               frame.bottom() - before.bottom()};
    const QRect work = window->screen()->availableGeometry();
    const QPoint centre = before.center();
    const DesktopRect inner =
        innerInside({centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height()},
                    margins, {work.x(), work.y(), work.width(), work.height()});
    // The inner rectangle, as the window manager is asked for it (move would place the frame there).
    window->setGeometry(inner.x, inner.y, inner.width, inner.height);
}
}  // namespace

frmUpdate::frmUpdate(Dialogs& dialogs, ShellOpener& shell, EngineCatalogue& engines, Trace& trace,
                     const QString& programDir, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      m_dialogs(dialogs),
      m_shell(shell),
      m_programDir(programDir),
      m_sessionFactory([] { return std::make_unique<QtInternetSession>(); }),
      m_check(std::make_shared<UpdateCheck>(std::filesystem::path(toStd(programDir)))) {
    windowPreamble(this, QStringLiteral("frmUpdate"), QStringLiteral("检查更新"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_lblCount =
        named<StatusLine>(this, "lblCount", QStringLiteral("请点击“检查更新”查看是否有需要的更新。"));
    // The folder is named, and can be copied: the user has to find it with a program of their own.
    auto* label1 = named<QLabel>(
        this, "Label1",
        QStringLiteral("如果下载完成后无法自动打开，请您到本软件安装目录（%1）下打开Pluvik.rar文件。")
            .arg(QDir::toNativeSeparators(programDir)));
    label1->setWordWrap(true);
    label1->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_engineList = new EngineListPanel(engines, dialogs, trace, std::filesystem::path(toStd(programDir)), this);
    connect(m_engineList, &EngineListPanel::shownChanged, this,
            [this](bool shown) { resizeInPlace(this, shown ? kWithEnginesSize : kPlainSize); });
    connect(m_engineList, &EngineListPanel::applied, this, &frmUpdate::showStatus);

    m_command1 = named<QPushButton>(this, "Command1", QStringLiteral("检查更新"));
    m_command1->setDefault(true);
    m_command2 = named<QPushButton>(this, "Command2", QStringLiteral("退出"));
    connect(m_command1, &QPushButton::clicked, this, &frmUpdate::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &frmUpdate::Command2_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_command1);
    buttons->addStretch();
    buttons->addWidget(m_command2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(m_lblCount);
    layout->addWidget(label1);
    layout->addWidget(m_engineList, 1);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedSize(kPlainSize);
}

frmUpdate::~frmUpdate() {
    // Destroyed under a running check (its owner went away): the check winds down on its own.
    giveUp();
}

void frmUpdate::setAddresses(const UpdateAddresses& addresses) {
    const auto kept = m_check;
    m_check = std::make_shared<UpdateCheck>(kept->programDir(), addresses);
    m_check->LatestVersion = kept->LatestVersion;
    m_check->InstalledVersion = kept->InstalledVersion;
    m_check->PackageDownloaded = kept->PackageDownloaded;
}

QString frmUpdate::statusText() const {
    return m_lblCount->text();
}

void frmUpdate::showStatus(const QString& text) {
    m_lblCount->showNow(text);
}

void frmUpdate::setBusy(bool busy) {
    m_command1->setEnabled(!busy);
    m_command2->setEnabled(!busy);
    // The list on show belongs to the check before: nothing is changed while the next one runs.
    m_engineList->setEnabled(!busy);
}

void frmUpdate::giveUp() {
    if (!m_run) return;
    m_run->cancelled = true;
    if (m_run->session) m_run->session->abort();
}

void frmUpdate::Command1_Click() {
    if (m_run) return;  // one transfer at a time
    auto run = std::make_shared<Run>();
    run->session = m_sessionFactory ? std::shared_ptr<InternetSession>(m_sessionFactory()) : nullptr;
    if (!run->session) {
        showStatus(QStringLiteral("打开URL错误"));
        return;
    }
    m_run = run;
    setBusy(true);

    // Everything the check touches lives on this stack or in shared objects, and every way back into
    // the window goes through `self`: the window may be destroyed while the transfer waits.
    const QPointer<frmUpdate> self(this);
    const std::shared_ptr<UpdateCheck> check = m_check;
    SteadyTickCounter ticks;
    DownloadHooks hooks;
    hooks.showStatus = [self](const std::string& text) {
        if (self) self->showStatus(toQ(text));
    };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    hooks.cancelled = [run] { return run->cancelled; };

    const CheckDecision decision = check->run(*run->session, ticks, hooks);
    if (!self) return;

    m_run.reset();
    setBusy(false);
    if (m_closeWhenDone) {
        close();
        return;
    }
    if (decision.cancelled) return;
    // Listed before the message box below, so the window already shows it behind the box.
    m_engineList->offer(decision.engineList);
    if (decision.showUpToDate) {
        m_dialogs.show(this, {QStringLiteral("检查更新"), toQ(kUpToDateText), MessageIcon::Information,
                              MessageButtons::Ok});
        if (!self) return;
    }
    if (decision.packageToOpen) {
        // The registered program does the rest; the opener says so when it cannot be started.
        m_shell.open(this, QUrl::fromLocalFile(toQ(decision.packageToOpen->string())));
    }
}

void frmUpdate::Command2_Click() {
    close();
}

void frmUpdate::closeEvent(QCloseEvent* event) {
    if (m_run) {
        // The transfer loop is still on the stack: give it up, and close once it has returned.
        m_closeWhenDone = true;
        giveUp();
        hide();
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace pluvik

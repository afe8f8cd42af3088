#include "windows/mini_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <array>

#include "browse/browse_windows.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/engine_catalogue.h"
#include "search/engine_table.h"
#include "search/engine_watch.h"
#include "shell/window_parts.h"

namespace pluvik {

namespace {

// The inner area: 8160 x 5010 twips.
constexpr QSize kClientSize{544, 334};

}  // namespace

MiniWindow::MiniWindow(AppContext context, std::function<void()> onBackToStandard,
                       std::function<void()> onExitProgram, EngineHealthLog* health, QWidget* parent)
    : QMainWindow(parent),
      m_ctx(context),
      m_onBackToStandard(std::move(onBackToStandard)),
      m_onExitProgram(std::move(onExitProgram)) {
    windowPreamble(this, QStringLiteral("Miniform"), QStringLiteral("Mini Pluvik"));
    setWindowFlags(kFixedWindowFlags);
    buildControls();
    buildMenus();
    m_follower = new EngineFollower(m_ctx.trace, m_browser, {}, std::nullopt, health,
                                    EngineFollower::Deadline::Own, this);
}

MiniWindow::~MiniWindow() {
    m_follower->detach();
    if (m_browser) m_browser->disconnect(this);
}

void MiniWindow::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientSize);
    setCentralWidget(client);

    const KeywordLine line =
        keywordLine(client, QRect(8, 12, 84, 14), QRect(92, 9, 262, 22), QRect(364, 8, 73, 24));
    m_text1 = line.text;
    connect(line.search, &QPushButton::clicked, this, &MiniWindow::search);
    auto* command2 = placed<QPushButton>(client, "Command2", QStringLiteral("退出"), QRect(445, 8, 73, 24));
    connect(command2, &QPushButton::clicked, this, &MiniWindow::exitProgram);

    auto* frame1 = placed<QGroupBox>(client, "Frame1", QStringLiteral("搜索引擎"), QRect(8, 38, 150, 276));
    std::array<QRadioButton*, MiniEngineTable::kCount> options{};
    m_group = optionGroup(this, frame1, options, MiniEngineTable::kDefault, [](int i) {
        const MiniEngine& engine = MiniEngineTable::engine(i);
        // Two columns of eleven and ten, in the order of the list.
        return OptionButton{toQ(engine.caption), toQ(engine.option),
                            QRect(i < 11 ? 10 : 80, 20 + (i % 11) * 23, 66, 20)};
    });

    auto* frame2 = placed<QGroupBox>(client, "Frame2", QStringLiteral("搜索结果"), QRect(164, 38, 372, 276));
    m_browser = m_ctx.browsers.create(frame2, QStringLiteral("WebBrowser1"));
    m_browser->setGeometry(8, 20, 356, 248);
    connect(m_browser, &BrowserView::DownloadBegin, this,
            [this] { m_statusLabel->setText(QStringLiteral("正在打开....")); });
    connect(m_browser, &BrowserView::DownloadComplete, this,
            [this](bool) { m_statusLabel->setText(QStringLiteral("已打开")); });
    m_ctx.browseWindows.routeNewWindowsOf(m_browser, this);

    m_statusLabel = statusBar1(client, QRect(0, kClientSize.height() - 18, kClientSize.width(), 18));
}

void MiniWindow::buildMenus() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("查看(&V)"));
    view->setObjectName("view");
    QAction* big = view->addAction(QStringLiteral("标准模式"));
    big->setObjectName("big");
    connect(big, &QAction::triggered, this, &MiniWindow::backToStandard);
    QAction* mini = view->addAction(QStringLiteral("Mini模式"));
    mini->setObjectName("mini");
    // This window is the mini mode: the entry is checked and does nothing.
    mini->setCheckable(true);
    mini->setChecked(true);
    connect(mini, &QAction::triggered, mini, [mini] { mini->setChecked(true); });
}

void MiniWindow::search() {
    const std::optional<QString> keyword = keywordOrRefuse(m_text1, m_ctx.dialogs, this);
    if (!keyword) return;
    const int engine = m_group->checkedId();
    if (engine < 0) return;
    const BuiltQuery query = m_ctx.engines.miniAddress(engine, toStd(*keyword));
    const QString address = toQ(query.address);
    m_ctx.trace.record("mini_search",
                       {{"engine", toQ(MiniEngineTable::engine(engine).option)}, {"url", address}});
    traceReferences(m_ctx.trace, QStringLiteral("mini"), query.references);
    m_follower->follow(toQ(MiniEngineTable::key(engine)), *keyword, address);
    m_browser->Navigate(address);
}

void MiniWindow::backToStandard() {
    hide();
    if (m_onBackToStandard) m_onBackToStandard();
}

void MiniWindow::exitProgram() {
    // Ends the program at once: no other window is asked, nothing is saved.
    if (m_exiting) return;
    m_exiting = true;
    m_ctx.trace.record("mini_exit");
    if (m_onExitProgram)
        m_onExitProgram();
    else
        QCoreApplication::quit();
    m_exiting = false;
}

void MiniWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    exitProgram();
}

void MiniWindow::keyPressEvent(QKeyEvent* event) {
    // Command1 is the default button: an Enter in the keyword box, an engine option or a frame searches.
    if (!searchOnEnter(event, this, [this] { search(); })) QMainWindow::keyPressEvent(event);
}

}  // namespace pluvik

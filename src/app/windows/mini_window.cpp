#include "windows/mini_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "browse/browse_windows.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/resources.h"
#include "platform/trace.h"
#include "search/search_plan.h"
#include "shell/window_parts.h"
#include "windows/focus_in_browser.h"

namespace pluvik {

MiniWindow::MiniWindow(AppContext context, std::function<void()> onBackToStandard,
                       std::function<void()> onExitProgram, QWidget* parent)
    : QMainWindow(parent),
      m_ctx(context),
      m_onBackToStandard(std::move(onBackToStandard)),
      m_onExitProgram(std::move(onExitProgram)) {
    windowPreamble(this, QStringLiteral("Miniform"), QStringLiteral("Mini Pluvik"));
    setWindowFlags(kFixedWindowFlags);
    buildControls();
    buildMenus();
}

MiniWindow::~MiniWindow() {
    if (m_browser) m_browser->disconnect(this);
}

void MiniWindow::buildControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(m_client);

    const KeywordLine line =
        keywordLine(m_client, QRect(8, 12, 84, 14), QRect(92, 9, 262, 22), QRect(364, 8, 73, 24));
    m_text1 = line.text;
    m_command1 = line.search;
    connect(m_command1, &QPushButton::clicked, this, &MiniWindow::search);

    m_command2 = new QPushButton(QStringLiteral("退出"), m_client);
    m_command2->setObjectName("Command2");
    m_command2->setGeometry(445, 8, 73, 24);
    connect(m_command2, &QPushButton::clicked, this, &MiniWindow::exitProgram);

    m_frame1 = new QGroupBox(QStringLiteral("搜索引擎"), m_client);
    m_frame1->setObjectName("Frame1");
    m_frame1->setGeometry(8, 38, 150, 276);
    m_group = optionGroup(this, m_frame1, m_options, MiniEngineTable::kDefault, [](int i) {
        const MiniEngine& engine = MiniEngineTable::engine(i);
        // Two columns of eleven and ten, in the order of the list.
        return OptionButton{toQ(engine.caption), toQ(engine.option),
                            QRect(i < 11 ? 10 : 80, 20 + (i % 11) * 23, 66, 20)};
    });

    m_frame2 = new QGroupBox(QStringLiteral("搜索结果"), m_client);
    m_frame2->setObjectName("Frame2");
    m_frame2->setGeometry(164, 38, 372, 276);
    m_browser = m_ctx.browsers.create(m_frame2, QStringLiteral("WebBrowser1"));
    m_browser->setGeometry(8, 20, 356, 248);
    connect(m_browser, &BrowserView::DownloadBegin, this,
            [this] { setStatusText(QStringLiteral("正在打开....")); });
    connect(m_browser, &BrowserView::DownloadComplete, this,
            [this](bool) { setStatusText(QStringLiteral("已打开")); });
    m_ctx.browseWindows.routeNewWindowsOf(m_browser, this);

    m_statusBar = new QStatusBar(m_client);
    m_statusBar->setObjectName("StatusBar1");
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->setGeometry(0, kClientHeight - 18, kClientWidth, 18);
    m_statusLabel = new QLabel(m_statusBar);
    m_statusLabel->setObjectName("StatusBar1Text");
    m_statusBar->addWidget(m_statusLabel, 1);
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

int MiniWindow::selectedEngine() const {
    return m_group->checkedId();
}

void MiniWindow::selectEngine(int index) {
    m_options.at(static_cast<size_t>(index))->setChecked(true);
}

QString MiniWindow::statusText() const {
    return m_statusLabel->text();
}

void MiniWindow::setStatusText(const QString& text) {
    m_statusLabel->setText(text);
}

void MiniWindow::search() {
    const std::optional<QString> keyword = keywordOrRefuse(m_text1, m_ctx.dialogs, this);
    if (!keyword) return;
    const int engine = selectedEngine();
    if (engine < 0) return;
    const QString address = toQ(MiniEngineTable::address(engine, toStd(*keyword)));
    m_ctx.trace.record("mini_search",
                       {{"engine", toQ(MiniEngineTable::engine(engine).option)}, {"url", address}});
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
    if (isWindowEnter(event, this)) {
        search();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace pluvik

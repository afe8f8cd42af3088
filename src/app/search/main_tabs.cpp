// The main window's tab management and the save and print of result pages.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "search/main_window.h"
#include "search/tab_commands.h"
#include "search/tab_keys.h"
#include "shell/tab_strip.h"
#include "shell/window_parts.h"

namespace pluvik {

void MainWindow::buildTabMenu() {
    QMenu* m = m_youjian;
    connect(addAction(m, "qingping", QStringLiteral("清屏(&C)")), &QAction::triggered, this,
            &MainWindow::blankPage);
    connect(addAction(m, "qingpingall", QStringLiteral("全部清屏(&D)")), &QAction::triggered, this,
            &MainWindow::blankAllPages);
    m->addSeparator()->setObjectName("gang7");
    QMenu* colours = m->addMenu(QStringLiteral("标签颜色(&Y)"));
    colours->setObjectName("yanse");
    auto* group = new QActionGroup(colours);
    group->setExclusive(true);
    int index = 0;
    for (const CaptionColor& c : captionColors()) {
        QAction* a = addAction(colours, c.action, toQ(c.caption));
        a->setCheckable(true);
        a->setChecked(index == 0);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, index] { setCaptionColor(index); });
        ++index;
    }
    m->addSeparator()->setObjectName("gang8");
    connect(addAction(m, "mnubaocunjieguo", QStringLiteral("保存当前结果(&S)")), &QAction::triggered, this,
            &MainWindow::saveCurrent);
    connect(addAction(m, "mnubaocunsuoyoujieguo", QStringLiteral("保存所有结果(&T)")), &QAction::triggered,
            this, &MainWindow::saveAll);
    m->addSeparator()->setObjectName("gang11");
    connect(addAction(m, "mnupoint", QStringLiteral("打印当前结果(&P)")), &QAction::triggered, this,
            &MainWindow::printCurrent);
    connect(addAction(m, "munpointall", QStringLiteral("打印所有结果(&Q)")), &QAction::triggered, this,
            &MainWindow::printAll);
    m->addSeparator()->setObjectName("gang12");
    connect(addAction(m, "guanbi", QStringLiteral("关闭(&E)")), &QAction::triggered, this,
            &MainWindow::closeTab);
    connect(addAction(m, "guanbiqita", QStringLiteral("关闭其他(&F)")), &QAction::triggered, this,
            &MainWindow::closeOtherTabs);

    new TabKeys(this, m_tabs, m_youjian);

    connect(m_command2, &QPushButton::clicked, this, &MainWindow::closeTabWithQuestion);
}

void MainWindow::setTabVisible(int tab, bool visible) {
    m_tabs->setTabVisible(tab, visible);
}

void MainWindow::setTabCaption(int tab, const QString& caption) {
    m_tabs->setCaption(tab, caption);
}

std::vector<bool> MainWindow::tabVisibility() const {
    std::vector<bool> out;
    for (int tab = 0; tab < m_tabs->tabCount(); ++tab) out.push_back(m_tabs->isTabVisible(tab));
    return out;
}

void MainWindow::showOptions() {
    m_windows.showOptions();
}

void MainWindow::closeTabWithQuestion() {
    if (!m_ctx.dialogs.confirm(this, toQ(kCloseTabTitle), toQ(closeTabQuestion()))) return;
    closeTab();
}

void MainWindow::closeTab() {
    m_tabs->edit([](TabStripModel& tabs) { return closeCurrentResultTab(tabs); });
}

void MainWindow::closeOtherTabs() {
    m_tabs->edit([](TabStripModel& tabs) { closeOtherResultTabs(tabs); });
}

void MainWindow::blankPage() {
    browser(m_tabs->current())->Navigate(QStringLiteral("about:blank"));
}

void MainWindow::blankAllPages() {
    for (BrowserView* view : m_browsers) view->Navigate(QStringLiteral("about:blank"));
}

void MainWindow::setCaptionColor(int index) {
    const CaptionColor& c = captionColors().at(static_cast<size_t>(index));
    m_tabs->setCaptionColor(QColor(c.color.r, c.color.g, c.color.b));
    findChild<QAction*>(c.action)->setChecked(true);
}

void MainWindow::saveCurrent() {
    execCurrent(BrowserCommand::SaveAs);
}
void MainWindow::saveAll() {
    execAll(BrowserCommand::SaveAs);
}
void MainWindow::printCurrent() {
    execCurrent(BrowserCommand::Print);
}
void MainWindow::printAll() {
    execAll(BrowserCommand::Print);
}

void MainWindow::execCurrent(BrowserCommand command) {
    BrowserView* view = browser(m_tabs->current());
    view->setFocus();
    // A refused command (dialog cancelled, nothing loaded) simply ends here.
    view->ExecWB(command);
}

void MainWindow::execAll(BrowserCommand command) {
    // The program may be closed from inside a dialog: the window may be gone, or going.
    QPointer<MainWindow> self(this);
    execOnEveryPage(
        this, m_ctx.dialogs, command, EngineTable::kSlotCount, [this](int tab) { return browser(tab); },
        [self, this] { return self && !m_exiting; });
}

}  // namespace pluvik

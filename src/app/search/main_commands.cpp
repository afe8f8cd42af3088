// The main window's table from menu action to command (the actions are made in main_menus.cpp),
// and the commands that open the program's other windows and the maker's pages.

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/main_window.h"
#include "windows/mini_window.h"
#include "windows/open_link.h"
#include "windows/open_link_decision.h"

namespace pluvik {

void MainWindow::buildCommands() {
    auto wire = [this](std::initializer_list<const char*> names, auto&& handler) {
        for (const char* name : names) connect(findChild<QAction*>(name), &QAction::triggered, this, handler);
    };
    wire({"xuanxiang", "xuanxiangcaidan"}, [this] { showOptions(); });
    wire({"baocunjieguo"}, [this] { saveCurrent(); });
    wire({"baocunsuoyoujieguo"}, [this] { saveAll(); });
    wire({"print"}, [this] { printCurrent(); });
    wire({"pointall"}, [this] { printAll(); });
    wire({"phb", "paihang"}, [this] { m_windows.showRanking(); });
    wire({"goersou", "goerso"}, [this] { m_windows.showDual(); });
    wire({"about", "guanyucaidan"}, [this] { m_windows.showAbout(); });
    wire({"zanzhu"}, [this] { m_windows.showSponsor(); });
    wire({"souwrb", "soub"}, [this] { m_ctx.browseWindows.defaultInstance(); });
    wire({"help"}, [this] { OpenLink(m_ctx, this, toQ(makerAddress(MakerPage::Help))); });
    wire({"website"}, [this] { OpenLink(m_ctx, this, toQ(makerAddress(MakerPage::ProductHome))); });
    wire({"index"}, [this] { OpenLink(m_ctx, this, toQ(makerAddress(MakerPage::MakerHome))); });
    wire({"BUG"}, [this] { OpenBugReport(m_ctx.shell, this); });
    wire({"update"}, [this] { m_windows.showUpdate(); });
    wire({"delete", "godelete"}, [this] { m_windows.showCleaner(); });
    wire({"mini"}, [this] { switchToMini(); });
}

void MainWindow::clearKeywordHistory() {
    m_history.clear();
    m_combo->clear();
    m_combo->clearEditText();
}

void MainWindow::clearBrowseAddressList() {
    // A default window that is not open has no list to clear.
    if (BrowseWindow* window = m_ctx.browseWindows.openDefaultInstance()) window->addressBox()->clear();
}

void MainWindow::switchToMini() {
    if (!m_mini) {
        m_mini = std::make_unique<MiniWindow>(
            m_ctx, [this] { backFromMini(); }, [this] { exitProgram(); });
    }
    hide();
    m_mini->show();
    m_mini->raise();
    m_mini->activateWindow();
    m_tray->remove();
    m_ctx.trace.record("mini_shown");
}

void MainWindow::backFromMini() {
    showNormal();
    raise();
    activateWindow();
    m_tray->install();
}

}  // namespace pluvik

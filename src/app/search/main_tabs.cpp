// The main window's result tabs: what the options dialog and the trace cleaner change, closing tabs,
// the caption colours, the save and print of result pages, and the switch to the mini window.

#include <QAction>
#include <QComboBox>
#include <QPointer>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/main_window.h"
#include "search/tab_commands.h"
#include "search/tray_controller.h"
#include "shell/tab_strip.h"
#include "shell/window_parts.h"
#include "windows/mini_window.h"

namespace pluvik {

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

void MainWindow::clearKeywordHistory() {
    m_history.clear();
    m_combo->clear();
    m_combo->clearEditText();
}

void MainWindow::clearBrowseAddressList() {
    // A default window that is not open has no list to clear.
    if (BrowseWindow* window = m_ctx.browseWindows.openDefaultInstance()) window->addressBox()->clear();
}

void MainWindow::closeTab(bool askFirst) {
    if (askFirst && !m_ctx.dialogs.confirm(this, toQ(kCloseTabTitle), toQ(closeTabQuestion()))) return;
    m_tabs->edit([](TabStripModel& tabs) { return closeCurrentResultTab(tabs); });
}

void MainWindow::setCaptionColor(int index) {
    const CaptionColor& c = captionColors().at(static_cast<size_t>(index));
    m_tabs->setCaptionColor(QColor(c.color.r, c.color.g, c.color.b));
    findChild<QAction*>(c.action)->setChecked(true);
}

void MainWindow::execCurrent(BrowserCommand command) {
    const int tab = m_tabs->current();
    BrowserView* view = browser(tab);
    view->setFocus();
    // A refused command (dialog cancelled, nothing loaded) simply ends here.
    view->ExecWB(command, pageLabel(*view, m_tabs->caption(tab), m_combo->currentText()));
}

void MainWindow::execAll(BrowserCommand command) {
    // The program may be closed from inside a dialog: the window may be gone, or going.
    QPointer<MainWindow> self(this);
    execOnEveryPage(this, m_ctx.dialogs, command,
                    {EngineTable::kSlotCount, [this](int tab) { return browser(tab); },
                     [this](int tab) { return m_tabs->caption(tab); }, m_combo->currentText(),
                     [self, this] { return self && !m_exiting; }});
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

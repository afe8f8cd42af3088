// The commands of the secondary browser window: navigation, the address box, closing tabs, save and
// print, and the About message.

#include <QComboBox>
#include <QPointer>

#include "browse/browse_window.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "shell/tab_strip.h"
#include "search/tab_commands.h"

namespace pluvik {

// History steps, reload and stop fail quietly in the browser itself (no history, nothing loading);
// the window has nothing to add, so these handlers just pass the command on.
void BrowseWindow::goBack() {
    currentBrowser()->GoBack();
}
void BrowseWindow::goForward() {
    currentBrowser()->GoForward();
}
void BrowseWindow::refresh() {
    currentBrowser()->Refresh();
}

void BrowseWindow::stop() {
    BrowserView* view = currentBrowser();
    view->Stop();
    const QString name = view->LocationName();
    m_tabs->setCaption(m_tabs->current(), name);
    setWindowTitle(name);
}

void BrowseWindow::goHome() {
    currentBrowser()->GoHome();
}

void BrowseWindow::go() {
    applyEntry(EntryTrigger::GoButton);
}

void BrowseWindow::enterAddress() {
    applyEntry(EntryTrigger::EnterKey);
}

void BrowseWindow::applyEntry(EntryTrigger trigger) {
    std::vector<std::string> list;
    list.reserve(static_cast<size_t>(m_combo->count()));
    for (int i = 0; i < m_combo->count(); ++i) list.push_back(toStd(m_combo->itemText(i)));
    const AddressEntry entry = addressEntry(toStd(m_combo->currentText()), list, trigger);
    const QString box = toQ(entry.boxText);
    m_combo->setEditText(box);
    currentBrowser()->Navigate(toQ(entry.navigateTo));
    if (entry.appendToList) {
        m_combo->addItem(box);
        // Adding the first entry selects it; the box keeps showing what was entered.
        m_combo->setEditText(box);
    }
}

void BrowseWindow::chooseAddress() {
    currentBrowser()->Navigate(m_combo->currentText());
}

void BrowseWindow::closeTab() {
    m_tabs->edit(closeCurrentTab);
}

void BrowseWindow::quickClose() {
    m_tabs->edit(quickCloseTab);
}

void BrowseWindow::saveCurrent() {
    execCurrent(BrowserCommand::SaveAs);
}
void BrowseWindow::saveAll() {
    execAll(BrowserCommand::SaveAs);
}
void BrowseWindow::printCurrent() {
    execCurrent(BrowserCommand::Print);
}
void BrowseWindow::printAll() {
    execAll(BrowserCommand::Print);
}

void BrowseWindow::execCurrent(BrowserCommand command) {
    BusyScope busy(this);
    BrowserView* view = currentBrowser();
    view->setFocus();
    view->ExecWB(command);  // a refused or cancelled dialog leaves everything as it was
}

void BrowseWindow::execAll(BrowserCommand command) {
    BusyScope busy(this);
    // Both commands address all 24 browsers, visible or not, and say so.
    const BulkConfirmation question =
        bulkConfirmation(command == BrowserCommand::SaveAs ? BulkCommand::Save : BulkCommand::Print, kTabCount);
    if (!m_ctx.dialogs.confirm(this, toQ(question.title), toQ(question.text))) return;
    // Every browser in index order, shown or hidden. Each dialog runs its own event loop, in which
    // the window may be closed; the loop ends there.
    for (int i = 0; i < kTabCount; ++i) {
        if (!busy.alive()) return;
        BrowserView* view = browser(i);
        if (!view->hasPage()) continue;  // a browser that never loaded a page has nothing to give
        view->setFocus();
        view->ExecWB(command);  // a refusal skips this page only
    }
}

void BrowseWindow::showAbout() {
    BusyScope busy(this);
    m_ctx.dialogs.inform(this, toQ(kAboutText));
}

}  // namespace pluvik

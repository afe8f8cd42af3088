// The commands of the secondary browser window: navigation, the address box, closing tabs, save and
// print, and the About message.

#include <QComboBox>
#include <QPointer>

#include "browse/browse_window.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "search/tab_commands.h"
#include "shell/tab_strip.h"
#include "shell/window_parts.h"

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

void BrowseWindow::execCurrent(BrowserCommand command) {
    BusyScope busy(this);
    execOnPage(*currentBrowser(), command, m_tabs->caption(m_tabs->current()));
}

void BrowseWindow::execAll(BrowserCommand command) {
    BusyScope busy(this);
    // Every loaded page, its tab visible or not: a closed tab keeps its page.
    execOnEveryPage(this, m_ctx.dialogs, command,
                    {kTabCount,
                     [this](int i) { return browser(i); },
                     [this](int i) { return m_tabs->caption(i); },
                     nullptr,
                     {},
                     [&busy] { return busy.alive(); }});
}

void BrowseWindow::showAbout() {
    BusyScope busy(this);
    m_ctx.dialogs.inform(this, toQ(kAboutText));
}

}  // namespace pluvik

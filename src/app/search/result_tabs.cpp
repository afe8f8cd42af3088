#include "search/result_tabs.h"

#include <QAction>
#include <QActionGroup>
#include <QColor>
#include <QDir>
#include <QMenu>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "browse/browse_windows.h"
#include "options/option_rules.h"
#include "platform/app_paths.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/engine_watch.h"
#include "search/tab_commands.h"
#include "search/tab_keys.h"
#include "shell/file_io.h"
#include "shell/menu_table.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"
#include "shell/wait_window_state.h"
#include "shell/window_parts.h"

namespace pluvik {

ResultTabs::ResultTabs(const AppContext& context, QWidget* parent, QWidget* window,
                       std::function<QString()> keyword, std::function<bool()> windowAlive)
    : m_ctx(context),
      m_window(window),
      m_keyword(std::move(keyword)),
      m_windowAlive(std::move(windowAlive)),
      m_tabs(new TabStrip(EngineTable::kSlotCount, parent)),
      m_loadingFile(QDir(m_ctx.programDir).filePath(kTabLoadingFileName)) {
    m_loading.setWhenShown(whenShownFromFile(readFileBytes(m_loadingFile.toStdString())));
    m_tabs->setObjectName("SSTab1");
    m_tabs->setGeometry(8, 96, 1001, 569);
    m_tabs->setPageRect(QRect(8, 32, 985, 529));
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        m_tabs->setCaption(tab, toQ(EngineTable::slot(tab).caption));
        BrowserView* view =
            m_ctx.browsers.create(m_tabs->page(tab), QStringLiteral("WebBrowser%1").arg(tab + 1));
        view->setGeometry(0, 0, 985, 529);
        m_browsers[static_cast<size_t>(tab)] = view;
        m_ctx.browseWindows.routeNewWindowsOf(view, window);
        QObject::connect(view, &BrowserView::DownloadComplete, m_tabs, [this, tab](bool) { waitingOpened(tab); });
    }
    // A tab shown the first time since a search kept its load loads now: a click, a key, a group's
    // search bringing its first tab to the front.
    QObject::connect(m_tabs, &TabStrip::currentChanged, m_tabs, [this](int tab) {
        if (const auto load = m_loading.shown(tab)) open(load->tab, toQ(load->address));
    });
    m_engines = new EngineWatch(m_ctx.trace, m_browsers, toStd(m_ctx.programDir), m_tabs);
    QObject::connect(m_engines, &EngineWatch::outcomeDecided, m_tabs, [this](int tab) { markOutcome(tab); });
    buildMenu();
}

ResultTabs::~ResultTabs() {
    delete m_opening;
    disconnectPages(nullptr);
}

void ResultTabs::disconnectPages(QObject* receiver) {
    for (BrowserView* view : m_browsers) {
        if (receiver) view->disconnect(receiver);
        view->disconnect(m_tabs);
    }
    m_engines->detach();
}

void ResultTabs::onSearchEvents(std::function<void()> firstTabLoading, std::function<void()> pagesOpened,
                                std::function<void(const QString&)> enginesTallied) {
    QObject::connect(m_engines, &EngineWatch::outcomeDecided, m_tabs, [this, enginesTallied] {
        if (const auto tally = enginesTally()) {
            enginesTallied(*tally);
            m_heapTrim.soon();
        }
    });
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        QObject::connect(browser(tab), &BrowserView::DownloadBegin, m_tabs, [this, tab, firstTabLoading] {
            m_pagesOpened.loadBegan(tab);
            if (tab == m_firstTab) firstTabLoading();
        });
        QObject::connect(browser(tab), &BrowserView::DownloadComplete, m_tabs,
                         [this, tab, pagesOpened](bool) {
                             if (m_pagesOpened.loadEnded(tab)) pagesOpened();
                         });
    }
}

void ResultTabs::buildMenu() {
    auto* menu = new QMenu(QStringLiteral("右键"), m_window);
    menu->setObjectName("youjian");
    addMenuEntries(menu, m_window,
                   {{"qingping", "清屏(&C)", nullptr, [this] { blankCurrent(); }},
                    {"qingpingall", "全部清屏(&D)", nullptr, [this] { blankAll(); }},
                    {"gang7"}});
    QMenu* colours = menu->addMenu(QStringLiteral("标签颜色(&Y)"));
    colours->setObjectName("yanse");
    auto* group = new QActionGroup(colours);
    for (int index = 0; index < static_cast<int>(captionColors().size()); ++index) {
        const CaptionColor& c = captionColors().at(static_cast<size_t>(index));
        addMenuEntries(colours, m_window,
                       {{c.action, c.caption, nullptr, [this, index] { setCaptionColor(index); }}});
        QAction* a = colours->actions().last();
        a->setCheckable(true);
        a->setChecked(index == 0);
        group->addAction(a);
    }
    addMenuEntries(
        menu, m_window,
        {{"gang8"},
         {"mnubaocunjieguo", "保存当前结果(&S)", nullptr, [this] { execCurrent(BrowserCommand::SaveAs); }},
         {"mnubaocunsuoyoujieguo", "保存所有结果(&T)", nullptr, [this] { execAll(BrowserCommand::SaveAs); }},
         {"gang11"},
         {"mnupoint", "打印当前结果(&P)", nullptr, [this] { execCurrent(BrowserCommand::Print); }},
         {"munpointall", "打印所有结果(&Q)", nullptr, [this] { execAll(BrowserCommand::Print); }},
         {"gang12"},
         {"guanbi", "关闭(&E)", nullptr, [this] { closeCurrent(Ask::No); }},
         {"guanbiqita", "关闭其他(&F)", nullptr, [this] { closeOthers(); }}});
    new TabKeys(m_window, m_tabs, menu);
    QObject::connect(m_tabs, &TabStrip::tabDoubleClicked, menu, [this](int) { closeCurrent(Ask::No); });
    QObject::connect(m_tabs, &TabStrip::mousePressed, menu,
                     [menu](Qt::MouseButton button, const QPoint& globalPos) {
                         if (button == Qt::RightButton) menu->popup(globalPos);
                     });
}

void ResultTabs::load(const Settings& settings) {
    m_tabs->setCaption(EngineTable::kDiy1Tab, toQ(settings.diy1name));
    m_tabs->setCaption(EngineTable::kDiy2Tab, toQ(settings.diy2name));
    m_tabs->setCurrent(0);
    const QString startPage = startPagePath(m_ctx.programDir);
    for (BrowserView* view : m_browsers) view->Navigate(startPage);
    for (BrowserView* view : m_browsers) view->setSilent(true);
    // Hide the tabs switched off, then show the ones switched on; a held value leaves the tab as it
    // is. With everything switched off one tab stays, as the options dialog said when the choice
    // was made.
    std::vector<bool> leftAsTheyAre;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab)
        leftAsTheyAre.push_back(switchValue(tabSwitch(settings, tab)) == Switch::Held &&
                                m_tabs->isTabVisible(tab));
    for (const TabOp& op : okOps(settings, leftAsTheyAre).ops) {
        if (op.kind == TabOp::Hide) m_tabs->setTabVisible(op.tab, false);
        if (op.kind == TabOp::Show) m_tabs->setTabVisible(op.tab, true);
    }
}

void ResultTabs::searchStarted(const std::string& keyword, const SearchPlan& plan, const TabSet& scope,
                               const QString& scopeName, bool wholeCatalogue) {
    QVariantList tabs;
    for (const Navigation& load : plan.navigations()) tabs.append(load.tab);
    m_ctx.trace.record("search_started", {{"keyword", toQ(keyword)}, {"scope", scopeName}, {"tabs", tabs}});
    m_latest.searched(keyword, plan.tabs, scope);
    // A search that loads nothing leaves the previous one's signal due, and its engines' outcomes.
    if (plan.tabs.none()) return;
    m_engines->searchStarted(toQ(keyword));
    m_firstTab = 0;
    while (!plan.tabs.test(static_cast<size_t>(m_firstTab))) ++m_firstTab;
    // The tabs that load now (all, or only the one in front) are the ones the pages-opened signal
    // waits for; the others are navigated when shown, and the window's navigations skip them.
    const std::vector<Navigation> now =
        m_loading.searchStarted(plan.navigations(), wholeCatalogue ? m_tabs->current() : m_firstTab);
    m_pagesOpened.searchStarted(TabLoading::tabsOf(now));
    if (m_loading.whenShown()) m_firstTab = now.front().tab;
    // A group's search shows its first page; the other tabs keep what they show.
    if (!wholeCatalogue) m_tabs->setCurrent(m_firstTab);
}

void ResultTabs::markOutcome(int tab) {
    const EngineOutcome& outcome = *m_engines->outcome(tab);
    // No answer at all is red; an answer that is not the results is amber.
    const bool failed =
        outcome.result == EngineResult::HttpError || outcome.result == EngineResult::NetworkError;
    m_tabs->setMark(tab, toQ(outcomeText(outcome, WaitWindowState::kPagesOpenedDeadlineMs / 1000)),
                    failed ? QColor(0xd0, 0x30, 0x30) : QColor(0xe0, 0x90, 0x00));
}

std::optional<QString> ResultTabs::enginesTally() const {
    const auto tally = m_engines->tally();
    if (!tally) return std::nullopt;
    const QString count = QStringLiteral("%1 个引擎中 %2 个正常").arg(tally->first).arg(tally->second);
    return m_engines->wasStopped() ? QStringLiteral("已停止打开，") + count : count;
}

void ResultTabs::deadlinePassed() {
    m_engines->deadlinePassed();
}

void ResultTabs::navigate(int tab, const QString& address) {
    if (!m_loading.waiting(tab)) open(tab, address);
}

void ResultTabs::tryEngine(int tab, const QString& keyword, const QString& address) {
    m_engines->tried(tab, keyword, address);
    browser(tab)->Navigate(address);
}

void ResultTabs::open(int tab, const QString& address) {
    m_engines->navigated(tab, address);
    browser(tab)->Navigate(address);
}

void ResultTabs::switchesSaved(const Settings& settings) {
    for (const Navigation& load : m_loading.later(m_latest.catchUp(m_ctx.engines, settings), m_tabs->current()))
        open(load.tab, toQ(load.address));
}

bool ResultTabs::setLoadsTabsWhenShown(bool on, bool keep, QString* error) {
    m_loading.setWhenShown(on);
    if (!keep || whenShownFromFile(readFileBytes(m_loadingFile.toStdString())) == on) return true;
    std::string reason;
    if (writeFileAtomically(m_loadingFile.toStdString(), whenShownFileBytes(on), &reason)) return true;
    if (error) *error = toQ(reason);
    return false;
}

void ResultTabs::stopBuiltIn() {
    m_pagesOpened.stopped();
    m_engines->stopped();
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) browser(tab)->Stop();
}

void ResultTabs::blankCurrent() {
    browser(m_tabs->current())->Navigate(QStringLiteral("about:blank"));
}

void ResultTabs::blankAll() {
    for (BrowserView* view : m_browsers) view->Navigate(QStringLiteral("about:blank"));
}

void ResultTabs::closeCurrent(Ask ask) {
    if (ask == Ask::First && !m_ctx.dialogs.confirm(m_window, toQ(kCloseTabTitle), toQ(closeTabQuestion())))
        return;
    m_tabs->edit([](TabStripModel& tabs) { return closeCurrentResultTab(tabs); });
}

void ResultTabs::closeOthers() {
    m_tabs->edit([](TabStripModel& tabs) { closeOtherResultTabs(tabs); });
}

void ResultTabs::setCaptionColor(int index) {
    const Rgb& c = captionColors().at(static_cast<size_t>(index)).color;
    m_tabs->setCaptionColor(QColor(c.r, c.g, c.b));
}

void ResultTabs::execCurrent(BrowserCommand command) {
    const int tab = m_tabs->current();
    execOnPage(*browser(tab), command, m_tabs->caption(tab), m_keyword());
}

void ResultTabs::execAll(BrowserCommand command) {
    if (m_opening || m_running) return;  // a run already waits for its pages, or goes over them
    // A tab switched off since keeps its load waiting: the run does not go over it.
    // So does a page whose renderer ended while it was hidden: saved or printed as it is, it would
    // be an empty page.
    if ((m_loading.waitingTabs() & shownTabs()).any() || tabsWaitingForReload().any())
        return openWaitingThen(command);
    m_running = true;
    const auto done = qScopeGuard([this] { m_running = false; });
    execOnEveryPage(m_window, m_ctx.dialogs, command,
                    {EngineTable::kSlotCount, [this](int tab) { return browser(tab); },
                     [this](int tab) { return m_tabs->caption(tab); },
                     [this](int tab) { return m_tabs->isTabVisible(tab); }, m_keyword(), m_windowAlive});
}

bool ResultTabs::showRunUnderway() {
    if (m_opening) {
        m_opening->raise();
        m_opening->activateWindow();
    } else if (m_running) {
        m_window->raise();
        m_window->activateWindow();
    }
    return m_opening || m_running;
}

void ResultTabs::setTabVisible(int tab, bool visible) {
    m_tabs->setTabVisible(tab, visible);
}

void ResultTabs::setTabCaption(int tab, const QString& caption) {
    m_tabs->setCaption(tab, caption);
}

TabSet ResultTabs::tabsWaitingForReload() const {
    TabSet dead;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab)
        dead.set(static_cast<size_t>(tab), m_tabs->isTabVisible(tab) && browser(tab)->waitsForReload());
    return dead;
}

TabSet ResultTabs::shownTabs() const {
    TabSet shown;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) shown.set(static_cast<size_t>(tab), m_tabs->isTabVisible(tab));
    return shown;
}

std::vector<bool> ResultTabs::tabVisibility() const {
    std::vector<bool> out;
    for (int tab = 0; tab < m_tabs->tabCount(); ++tab) out.push_back(m_tabs->isTabVisible(tab));
    return out;
}

void ResultTabs::openWaitingThen(BrowserCommand command) {
    m_openingForAll = tabsWaitingForReload();
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab)
        if (m_openingForAll.test(static_cast<size_t>(tab))) browser(tab)->reloadHidden();
    for (const Navigation& load : m_loading.takeAll(shownTabs())) {
        m_openingForAll.set(static_cast<size_t>(load.tab));
        open(load.tab, toQ(load.address));
    }
    auto* wait = new QProgressDialog(QStringLiteral("正在打开尚未打开的网页…"), QStringLiteral("取消"), 0,
                                     static_cast<int>(m_openingForAll.count()), m_window);
    wait->setObjectName(QStringLiteral("opening"));
    wait->setWindowTitle(m_window->windowTitle());
    wait->setWindowModality(Qt::WindowModal);
    wait->setMinimumDuration(0);
    wait->setAutoReset(false);
    wait->setAutoClose(false);
    wait->setAttribute(Qt::WA_DeleteOnClose);
    m_opening = wait;
    m_openingCommand = command;
    QTimer::singleShot(WaitWindowState::kPagesOpenedDeadlineMs, wait, [this, wait] { beginRun(wait); });
    QObject::connect(wait, &QProgressDialog::canceled, wait, [this, wait] {
        if (m_opening == wait) m_opening = nullptr;
        m_openingForAll.reset();
        wait->close();
    });
    wait->setValue(0);
    wait->show();
}

void ResultTabs::waitingOpened(int tab) {
    if (!m_opening || !m_openingForAll.test(static_cast<size_t>(tab))) return;
    m_openingForAll.reset(static_cast<size_t>(tab));
    // The run begins from the event loop, never inside a page's own signal: a window-modal progress
    // runs the event loop as it moves on, and so does every dialog of the run.
    const int done = m_opening->maximum() - static_cast<int>(m_openingForAll.count());
    QTimer::singleShot(0, m_opening, [this, wait = m_opening, done] {
        if (wait) wait->setValue(done);
        if (wait && done >= wait->maximum()) beginRun(wait);
    });
}

void ResultTabs::beginRun(QProgressDialog* wait) {
    if (m_opening != wait || wait->wasCanceled()) return;
    m_opening = nullptr;
    wait->close();
    m_openingForAll.reset();
    if (m_windowAlive()) execAll(m_openingCommand);
}

}  // namespace pluvik

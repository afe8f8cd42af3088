#pragma once

#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "app_context.h"
#include "options/options_target.h"
#include "platform/heap_trim.h"
#include "search/engine_table.h"
#include "search/pages_opened_rule.h"
#include "search/search_plan.h"
#include "search/tab_loading.h"

class QObject;
class QProgressDialog;
class QWidget;

namespace pluvik {

class BrowserView;
class EngineWatch;
class TabStrip;
struct Settings;
enum class BrowserCommand;

// The main window's 23 result tabs: the strip SSTab1, one browser per tab (WebBrowser1 ..
// WebBrowser23), the commands on the current, on all and on the other tabs, save and print of one
// or all pages, and what a search navigates. What the options dialog changes reaches them here.
class ResultTabs : public OptionsTarget {
public:
    // The strip and its browsers are children of `parent`; `window` owns the dialogs and the tab
    // menu. The save and print dialogs propose names from `keyword()`; each of them runs its own
    // event loop, after which `windowAlive()` says whether the run may go on.
    ResultTabs(const AppContext& context, QWidget* parent, QWidget* window, std::function<QString()> keyword,
               std::function<bool()> windowAlive);
    ~ResultTabs() override;
    // A page that goes reports the end of its load: what the window connected to the pages, as
    // `receiver`, and the search's events stop before the window's parts go.
    void disconnectPages(QObject* receiver);

    // What the search learns from its pages: its first tab (tab 0 when it loads it) began a load, and the
    // pages have opened (by the rule of PagesOpenedRule), unless it was a load the wait window's stop broke
    // off. A failed load counts too, so a dead server or page never leaves the window disabled. Once
    // every engine of the search has its outcome (or the deadline has passed), `enginesTallied` hears
    // how many did well ("21 个引擎中 17 个正常").
    void onSearchEvents(std::function<void()> firstTabLoading, std::function<void()> pagesOpened,
                        std::function<void(const QString&)> enginesTallied);

    TabStrip* strip() const { return m_tabs; }
    // The keyword as the main window's box holds it now.
    QString keyword() const { return m_keyword(); }
    BrowserView* browser(int tab) const { return m_browsers.at(static_cast<size_t>(tab)); }

    // What the window's loading does to the tabs: the user's tabs take their names, tab 0 is
    // current, every tab shows the start page, pages raise no dialogs, and each tab is shown or
    // hidden by its engine's switch.
    void load(const Settings& settings);
    // A search of `keyword` that loads `plan.tabs` begins; its navigations follow. It is noted in
    // the trace (`scopeName`: the scope box's entry), and a group's search (not `wholeCatalogue`)
    // brings the group's first tab to the front.
    void searchStarted(const std::string& keyword, const SearchPlan& plan, const TabSet& scope,
                       const QString& scopeName, bool wholeCatalogue);
    // Whether the latest search loaded `tab` (or a switch turned on since has), and not only has it
    // waiting until the tab is shown.
    bool searched(int tab) const { return m_latest.loaded(tab) && !m_loading.waiting(tab); }
    // A search's navigation of `tab`; a load kept until the tab is shown goes then instead.
    void navigate(int tab, const QString& address);
    // The user tries tab's engine with `keyword` at `address` (the engines page), its outcome followed.
    void tryEngine(int tab, const QString& keyword, const QString& address);
    EngineWatch& engines() const { return *m_engines; }
    // "21 个引擎中 17 个正常" once every engine of the latest search has its outcome; after the
    // wait window's stop it says that too ("已停止打开，12 个引擎中 11 个正常").
    std::optional<QString> enginesTally() const;
    // The wait window's stop: every built-in engine's load. The engine reports the stopped load of
    // the signal tab as finished a moment later; that end is no news, and no engine's outcome.
    void stopBuiltIn();
    // The search's deadline passed: the engines still loading are slow.
    void deadlinePassed();

    // The tab menu: blank the current or every page, close the current tab (asking first for
    // "关闭当前选项卡") or all others.
    void blankCurrent();
    void blankAll();
    enum class Ask { No, First };
    void closeCurrent(Ask ask);
    void closeOthers();
    void setCaptionColor(int index);

    // Save or print the current page, or every page that holds a result.
    void execCurrent(BrowserCommand command);
    void execAll(BrowserCommand command);
    // Whether a save or print of all pages is under way (opening its pages or going over them); its
    // window then comes to the front. A search must not send the pages elsewhere meanwhile.
    bool showRunUnderway();

    // OptionsTarget
    void setTabVisible(int tab, bool visible) override;
    void setTabCaption(int tab, const QString& caption) override;
    std::vector<bool> tabVisibility() const override;
    void switchesSaved(const Settings& settings) override;
    bool loadsTabsWhenShown() const override { return m_loading.whenShown(); }
    bool setLoadsTabsWhenShown(bool on, bool keep, QString* error) override;

private:
    // The tab menu youjian: a right click on the strip opens it; a double click closes the tab.
    void buildMenu();
    // A tab whose engine did not give ok carries a mark saying what happened; ok takes it away.
    void markOutcome(int tab);
    // Loads `tab` now, followed by the engine watch.
    void open(int tab, const QString& address);
    // Save or print of every page when some tabs of the search have not loaded yet: they load first,
    // a small window saying so, and the run begins once they have ended (or at the pages-opened
    // deadline, or not at all when the user cancels).
    void openWaitingThen(BrowserCommand command);
    void waitingOpened(int tab);
    void beginRun(QProgressDialog* wait);
    // The tabs on the strip (their engine switched on).
    TabSet shownTabs() const;
    // The shown tabs whose page died while hidden and loads again only when it is looked at.
    TabSet tabsWaitingForReload() const;

    const AppContext& m_ctx;
    QWidget* m_window;
    std::function<QString()> m_keyword;
    std::function<bool()> m_windowAlive;
    TabStrip* m_tabs;
    std::array<BrowserView*, EngineTable::kSlotCount> m_browsers{};
    PagesOpenedRule m_pagesOpened;
    int m_firstTab = 0;
    LatestSearch m_latest;
    EngineWatch* m_engines = nullptr;
    TabLoading m_loading;
    QString m_loadingFile;
    TabSet m_openingForAll;
    QPointer<QProgressDialog> m_opening;
    bool m_running = false;  // execOnEveryPage goes over the pages
    BrowserCommand m_openingCommand{};
    HeapTrim m_heapTrim;  // after each search's tally, once its loads have freed what they took
};

}  // namespace pluvik

#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QMainWindow;

#include "app_context.h"
#include "cleaner/del_search.h"

namespace pluvik {

class CleanerTargets;
class ResultTabs;
class TrayController;

// The program's windows of which there is one at a time: made on first use, shown and raised again
// while open. They are made without a parent: a disabled main window would disable them with it.
class ProgramWindows {
public:
    // `results` are what the options dialog and the engines window change; their engine health is
    // what the mini and dual windows add to.
    ProgramWindows(const AppContext& ctx, ResultTabs& results, CleanerTargets& cleaner, CleanerStores stores);
    // The engines page goes first: it works on the result tabs.
    ~ProgramWindows();

    void showOptions();
    void showRanking();
    void showDual();
    void showAbout();
    void showSponsor();
    void showUpdate();
    void showCleaner();
    void showEngines();
    // "Mini模式": `main` and its tray icon give way to the mini window; its "标准模式" brings them
    // back, and closing it runs `exitProgram`.
    void showMini(QMainWindow* main, TrayController& tray, std::function<void()> exitProgram);

private:
    const AppContext& m_ctx;
    ResultTabs& m_results;
    CleanerTargets& m_cleanerTargets;
    CleanerStores m_stores;
    QPointer<QWidget> m_options;
    QPointer<QWidget> m_ranking;
    QPointer<QWidget> m_dual;
    QPointer<QWidget> m_about;
    QPointer<QWidget> m_sponsor;
    QPointer<QWidget> m_cleaner;
    QPointer<QWidget> m_update;
    QPointer<QWidget> m_engines;
    std::unique_ptr<QWidget> m_mini;
};

}  // namespace pluvik

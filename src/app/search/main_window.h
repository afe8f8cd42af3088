#pragma once

#include <QMainWindow>
#include <memory>

#include "app_context.h"
#include "cleaner/cleaner_targets.h"
#include "search/keyword_history.h"
#include "search/program_windows.h"
#include "search/result_tabs.h"
#include "shell/wait_window.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace pluvik {

class BrowserView;
class MenuShortcutsFirst;
class ScopeBox;
class TrayController;

// The main search window 禾朔搜索: 23 result tabs, one engine per tab, each with its own browser.
// Tests find its controls by their designer names (Combo1, SSTab1, WebBrowser1 …, StatusBar1Text,
// the tray controller, the wait window `ready`).
class MainWindow : public QMainWindow, public WaitHost, public CleanerTargets {
    Q_OBJECT
public:
    // `stores` are what the trace cleaner empties.
    MainWindow(AppContext context, CleanerStores stores, QWidget* parent = nullptr);
    ~MainWindow() override;

    // WaitHost, CleanerTargets
    void setMainEnabled(bool enabled) override { setEnabled(enabled); }
    void setStatusText(const QString& text) override;
    void stopResultTabs() override { m_results.stopBuiltIn(); }
    void resultDeadlinePassed() override { m_results.deadlinePassed(); }
    void clearKeywordHistory() override;
    void clearBrowseAddressList() override;

    // Command1 "搜索", Enter in Combo1, "开始搜索" (Ctrl+G) and the tray's "搜索(&G)".
    void search();
    // The exit sequence of "退出" (Ctrl+E), the tray's "退出(&E)" and the close box.
    void exitProgram();

    // Timer ticks (Timer1 the clock, Timer2 the status text after a search, Timer4 the second load
    // of the retry tab); tests call them instead of waiting. Timer3 is the tray's blink.
    void onTimer1();
    void onTimer2();
    void onTimer4();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectEvents();
    void load();

    AppContext m_ctx;
    QWidget* m_client;
    ResultTabs m_results;
    ProgramWindows m_windows;
    QComboBox* m_combo = nullptr;
    ScopeBox* m_scope = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_label6 = nullptr;
    BrowserView* m_updateBrowser = nullptr;
    QLabel* m_statusLabel = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QTimer* m_timer4 = nullptr;
    TrayController* m_tray = nullptr;
    std::unique_ptr<WaitWindow> m_wait;
    std::unique_ptr<MenuShortcutsFirst> m_menuShortcuts;

    KeywordHistory m_history;
    bool m_searchStarted = false;
    bool m_shownOnce = false;
    bool m_exiting = false;
};

}  // namespace pluvik

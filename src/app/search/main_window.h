#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "app_context.h"
#include "cleaner/cleaner_targets.h"
#include "options/options_target.h"
#include "search/engine_table.h"
#include "search/keyword_history.h"
#include "search/program_windows.h"
#include "shell/wait_window.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace pluvik {

class BrowserView;
class TabStrip;
class TrayController;
enum class BrowserCommand;

// The main search window 禾朔搜索: 23 result tabs, one engine per tab, each with its own browser.
// Tests find its controls by their designer names (Combo1, SSTab1, WebBrowser1 …, StatusBar1Text,
// the tray controller, the wait window `ready`).
class MainWindow : public QMainWindow, public WaitHost, public OptionsTarget, public CleanerTargets {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 1018;
    static constexpr int kClientHeight = 684;

    // `stores` are what the trace cleaner empties.
    MainWindow(AppContext context, CleanerStores stores, QWidget* parent = nullptr);
    ~MainWindow() override;

    // WaitHost
    void setMainEnabled(bool enabled) override { setEnabled(enabled); }
    void setStatusText(const QString& text) override;
    void stopResultTabs() override;

    // OptionsTarget
    void setTabVisible(int tab, bool visible) override;
    void setTabCaption(int tab, const QString& caption) override;
    std::vector<bool> tabVisibility() const override;

    // CleanerTargets
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
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectEvents();
    void load();
    BrowserView* browser(int tab) const { return m_browsers.at(static_cast<size_t>(tab)); }
    void execCurrent(BrowserCommand command);
    void execAll(BrowserCommand command);
    // "关闭当前选项卡" asks first; "关闭(&E)" and a double click do not.
    void closeTab(bool askFirst = false);
    void setCaptionColor(int index);
    // "Mini模式": the main window and its tray icon give way to the mini window; "标准模式" in the
    // mini window brings them back.
    void switchToMini();
    void backFromMini();
    bool isMenuShortcut(const QKeyEvent* key) const;

    AppContext m_ctx;
    ProgramWindows m_windows;
    QComboBox* m_combo = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_label6 = nullptr;
    TabStrip* m_tabs = nullptr;
    std::array<BrowserView*, EngineTable::kSlotCount> m_browsers{};
    BrowserView* m_updateBrowser = nullptr;
    QLabel* m_statusLabel = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QTimer* m_timer4 = nullptr;
    TrayController* m_tray = nullptr;
    QMenu* m_youjian = nullptr;
    std::unique_ptr<WaitWindow> m_wait;
    std::unique_ptr<QWidget> m_mini;

    KeywordHistory m_history;
    bool m_searchStarted = false;
    // Set by the wait window's stop until the signal tab's stopped load has reported its end or a
    // new load has begun there.
    bool m_signalTabStopped = false;
    bool m_shownOnce = false;
    bool m_exiting = false;
};

}  // namespace pluvik

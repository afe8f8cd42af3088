#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

#include "app_context.h"
#include "cleaner/cleaner_targets.h"
#include "options/options_target.h"
#include "search/engine_table.h"
#include "search/keyword_history.h"
#include "search/program_windows.h"
#include "search/tray_controller.h"
#include "shell/wait_window.h"

class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QSystemTrayIcon;
class QTimer;

namespace pluvik {

class BrowserView;
class TabStrip;
enum class BrowserCommand;
struct NewWindowSlot;

// The main search window 禾朔搜索: 23 result tabs, one engine per tab, each with its own browser.
class MainWindow : public QMainWindow, public WaitHost, public OptionsTarget, public CleanerTargets {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 1018;
    static constexpr int kClientHeight = 684;

    // `stores` are what the trace cleaner empties.
    MainWindow(AppContext context, CleanerStores stores, QWidget* parent = nullptr);
    ~MainWindow() override;

    TabStrip* tabs() const { return m_tabs; }
    BrowserView* browser(int tab) const { return m_browsers.at(static_cast<size_t>(tab)); }
    QComboBox* keywordBox() const { return m_combo; }
    QString statusText() const;
    WaitWindow* waitWindow() const { return m_wait.get(); }
    const KeywordHistory& keywordHistory() const { return m_history; }
    bool searchStarted() const { return m_searchStarted; }
    const TrayLogic& trayLogic() const { return m_tray->logic(); }
    bool trayAvailable() const { return m_tray->available(); }
    void setTrayAvailableForTest(bool available) { m_tray->setAvailableForTest(available); }

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

public slots:
    // Command1 "搜索", Enter in Combo1, "开始搜索" (Ctrl+G) and the tray's "搜索(&G)".
    void search();
    // The exit sequence of "退出" (Ctrl+E), the tray's "退出(&E)" and the close box.
    void exitProgram();
    // The tray's "隐藏界面(&U)" and minimising; "显示界面(&V)".
    void hideToTray();
    void showFromTray();
    void trayLeftClick();
    void trayRightClick(const QPoint& globalPos);
    // The tray menu's entries for the window as it is: "搜索(&G)" and "隐藏界面(&U)" while it is
    // shown, "显示界面(&V)" while it is hidden.
    void applyTrayMenuEntries();

    // "选项" (Ctrl+X) and the tray's "选项(&X)": the one options dialog, shown again if open.
    void showOptions();
    // "Mini模式": the main window and its tray icon give way to the mini window; "标准模式" in
    // the mini window brings them back.
    void switchToMini();
    void backFromMini();

    // Tab management: "关闭当前选项卡" (asks first), "关闭(&E)" and a double click (no question),
    // "关闭其他(&F)", "清屏(&C)", "全部清屏(&D)", the caption colours.
    void closeTabWithQuestion();
    void closeTab();
    void closeOtherTabs();
    void blankPage();
    void blankAllPages();
    void setCaptionColor(int index);

    // Save and print of result pages, through the browser's own dialogs.
    void saveCurrent();
    void saveAll();
    void printCurrent();
    void printAll();

    // Timer ticks; tests call them instead of waiting.
    void onTimer1();
    void onTimer2();
    void onTimer3();
    void onTimer4();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTrayMenu();
    void buildTabMenu();
    void buildCommands();
    void execCurrent(BrowserCommand command);
    void execAll(BrowserCommand command);
    void connectEvents();
    void load();
    bool isMenuShortcut(const QKeyEvent* key) const;
    QAction* addAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {});

    AppContext m_ctx;
    ProgramWindows m_windows;
    QWidget* m_client = nullptr;
    QLabel* m_label1 = nullptr;
    QComboBox* m_combo = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_label6 = nullptr;
    TabStrip* m_tabs = nullptr;
    std::array<BrowserView*, EngineTable::kSlotCount> m_browsers{};
    BrowserView* m_updateBrowser = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusLabel = nullptr;
    // Timer1 the clock, Timer2 the status text after a search, Timer3 the tray blink, Timer4 the
    // second load of the retry tab.
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QTimer* m_timer3 = nullptr;
    QTimer* m_timer4 = nullptr;
    TrayController* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
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

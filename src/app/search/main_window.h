#pragma once

#include <QMainWindow>
#include <array>

#include "app_context.h"
#include "search/engine_table.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QSystemTrayIcon;

namespace pluvik {

class BrowserView;
class TabStrip;

// The main search window 禾朔搜索: 23 result tabs, one engine per tab, each with its own browser.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 1018;
    static constexpr int kClientHeight = 684;

    explicit MainWindow(AppContext context, QWidget* parent = nullptr);
    ~MainWindow() override;

    TabStrip* tabs() const { return m_tabs; }
    BrowserView* browser(int tab) const { return m_browsers.at(static_cast<size_t>(tab)); }
    BrowserView* updateBrowser() const { return m_updateBrowser; }
    QComboBox* keywordBox() const { return m_combo; }
    QString statusText() const;
    void setStatusText(const QString& text);
    QSystemTrayIcon* trayIcon() const { return m_tray; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void load();

    AppContext m_ctx;
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
    QSystemTrayIcon* m_tray = nullptr;
    bool m_shownOnce = false;
};

}  // namespace pluvik

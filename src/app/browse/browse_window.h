#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>

#include "app_context.h"
#include "browse/browse_rules.h"

class QComboBox;
class QLabel;
class QMenu;
class QToolButton;

namespace pluvik {

class BrowserView;
class ProportionalLayout;
class TabStrip;
enum class BrowserCommand;
struct NewWindowSlot;

// The secondary browser window 搜索浏览: 24 fixed tabs, each with its own browser, an address box, the
// navigation buttons, and save and print of one page or of all of them. Every command and every
// browser event acts on the browser of the current tab. The window deletes itself when closed.
class BrowseWindow : public QMainWindow {
    Q_OBJECT
public:
    // The designed inner area: 15240 x 10260 twips.
    static constexpr int kDesignWidth = 1016;
    static constexpr int kDesignHeight = 684;

    // Builds the controls and runs the load sequence; the caller shows the window.
    explicit BrowseWindow(ProgramServices services, QWidget* parent = nullptr);
    ~BrowseWindow() override;

    TabStrip* tabs() const { return m_tabs; }
    BrowserView* browser(int tab) const { return m_browsers.at(static_cast<size_t>(tab)); }
    BrowserView* currentBrowser() const;
    QComboBox* addressBox() const { return m_combo; }
    QWidget* innerArea() const { return m_client; }
    QMenu* contextMenu() const { return m_youjian; }
    QString statusText() const;

signals:
    // The window is going (closed by the user or the program); it is deleted soon after.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Held while a dialog of this window runs its own event loop: a close in that loop hides the
    // window at once and deletes it only when the outermost dialog has returned, so no browser or
    // dialog is deleted under its own feet.
    class BusyScope {
    public:
        explicit BusyScope(BrowseWindow* window);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        // The window still wants to go on (not closed, not deleted).
        bool alive() const { return m_window && !m_window->m_closePending; }
        BrowseWindow* window() const { return m_window; }

    private:
        QPointer<BrowseWindow> m_window;
    };

    void buildControls();
    void buildMenus();
    void connectEvents();
    void load();
    void goBack();         // Command1
    void goForward();      // Command2
    void refresh();        // Command3
    void stop();           // Command4
    void goHome();         // Command5
    void go();             // Command6
    void enterAddress();   // Enter in Combo1
    void chooseAddress();  // an item chosen from Combo1's list
    void closeTab();       // Command7, guanbi
    void quickClose();     // double click on the strip
    void showAbout();      // about
    void applyEntry(EntryTrigger trigger);
    void showCurrentTab();
    void onNewWindow(NewWindowSlot& slot);
    void setStatusText(const QString& text);
    void announceClosing();
    void execCurrent(BrowserCommand command);
    void execAll(BrowserCommand command);

    ProgramServices m_ctx;
    QWidget* m_client = nullptr;
    QToolButton* m_command7 = nullptr;
    QComboBox* m_combo = nullptr;
    TabStrip* m_tabs = nullptr;
    std::array<BrowserView*, kTabCount> m_browsers{};
    QLabel* m_statusLabel = nullptr;
    QMenu* m_youjian = nullptr;
    ProportionalLayout* m_layout = nullptr;
    int m_busy = 0;
    bool m_closePending = false;
    bool m_closingAnnounced = false;
};

}  // namespace pluvik

#pragma once

#include <QMainWindow>
#include <functional>

#include "app_context.h"

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace pluvik {

class BrowserView;
class EngineFollower;
class EngineHealthLog;

// The mini window Miniform ("Mini Pluvik"): one keyword (Text1, Command1), one of 21 engines of its
// own (option buttons named after MiniEngineTable), one result page (WebBrowser1) and its status
// (StatusBar1Text). There is one instance for the life of the program; it is only shown and hidden,
// so keyword, engine and page survive a round trip to the main window. Closing it ends the program.
class MiniWindow : public QMainWindow {
    Q_OBJECT
public:
    // `onBackToStandard` runs after `big` has hidden this window: it shows the main window and puts
    // the tray icon back. `onExitProgram` ends the program (Command2, the close box); without one
    // the application is asked to quit. What each search's engine did goes to `health`.
    MiniWindow(AppContext context, std::function<void()> onBackToStandard,
               std::function<void()> onExitProgram = {}, EngineHealthLog* health = nullptr,
               QWidget* parent = nullptr);
    ~MiniWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void search();          // Command1, Enter anywhere but in the result page
    void backToStandard();  // big
    void exitProgram();     // Command2

    AppContext m_ctx;
    std::function<void()> m_onBackToStandard;
    std::function<void()> m_onExitProgram;
    QLineEdit* m_text1 = nullptr;
    QButtonGroup* m_group = nullptr;
    BrowserView* m_browser = nullptr;
    EngineFollower* m_follower = nullptr;
    QLabel* m_statusLabel = nullptr;
    bool m_exiting = false;
};

}  // namespace pluvik

#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

#include "app_context.h"
#include "search/engine_table.h"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace pluvik {

class BrowserView;
struct NewWindowSlot;

// The mini window Miniform ("Mini Pluvik"): one keyword, one of 21 engines of its own, one result
// page. There is one instance for the life of the program; it is only shown and hidden, so keyword,
// engine and page survive a round trip to the main window. Closing it ends the program.
class MiniWindow : public QMainWindow {
    Q_OBJECT
public:
    // The inner area: 8160 x 5010 twips.
    static constexpr int kClientWidth = 544;
    static constexpr int kClientHeight = 334;

    // `onBackToStandard` runs after `big` has hidden this window: it shows the main window and puts
    // the tray icon back. `onExitProgram` ends the program (Command2, the close box); without one
    // the application is asked to quit.
    MiniWindow(AppContext context, std::function<void()> onBackToStandard,
               std::function<void()> onExitProgram = {}, QWidget* parent = nullptr);
    ~MiniWindow() override;

    QLineEdit* keywordBox() const { return m_text1; }
    BrowserView* browser() const { return m_browser; }
    QRadioButton* engineButton(int index) const { return m_options.at(static_cast<size_t>(index)); }
    // Index in MiniEngineTable of the checked option button.
    int selectedEngine() const;
    void selectEngine(int index);
    QString statusText() const;

public slots:
    void search();          // Command1, Enter anywhere but in the result page
    void backToStandard();  // big
    void exitProgram();     // Command2

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void setStatusText(const QString& text);

    AppContext m_ctx;
    std::function<void()> m_onBackToStandard;
    std::function<void()> m_onExitProgram;
    QWidget* m_client = nullptr;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QButtonGroup* m_group = nullptr;
    std::array<QRadioButton*, MiniEngineTable::kCount> m_options{};
    BrowserView* m_browser = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusLabel = nullptr;
    bool m_exiting = false;
};

}  // namespace pluvik

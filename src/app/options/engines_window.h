#pragma once

#include <QWidget>
#include <string_view>
#include <vector>

#include "app_context.h"
#include "search/engine_catalogue.h"
#include "search/engine_page.h"
#include "search/engines_file_edit.h"
#include "shell/settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pluvik {

class ResultTabs;

// The engines page 引擎管理: every engine the program searches with, its address and encoding, its
// switch (the main window's), how it did on its latest searches. The user edits an engine's
// address (checked as an engines.txt line is; in force at once, kept in engines.txt), puts the
// built-in one back, switches a main-window engine on or off as the options dialog does, and tries
// an engine in its tab with the keyword of the main window. The user's two engines are the options
// dialog's: their addresses are shown, not edited here. Keys: Up and Down in the list, Enter or F2
// to the address, Enter there saves, Esc back to the list.
class EnginesWindow : public QWidget {
    Q_OBJECT
public:
    EnginesWindow(const AppContext& context, ResultTabs& results);
    ~EnginesWindow() override;

signals:
    // The user switched the engine of result tab `tab` on or off here, and it was saved.
    void switchSaved(int tab, bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillRow(int row, const Settings& settings);
    void fillRowsOf(std::string_view key);
    // Writes the change into engines.txt; says so when it could not (`what` names the address).
    bool keep(const EngineChange& change, const QString& what);
    void fillAll();
    void showSelected();
    void saveAddress();
    void restoreAddress();
    void tryEngine();
    void setSwitch(bool on);
    void tell(const QString& text, bool problem = false);
    int selected() const;
    AddressTemplate addressOf(const EngineRow& row, const Settings& settings) const;

    AppContext m_ctx;
    ResultTabs& m_results;
    QTableWidget* m_list = nullptr;
    QLineEdit* m_address = nullptr;
    QComboBox* m_encoding = nullptr;
    QCheckBox* m_switch = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_restore = nullptr;
    QPushButton* m_try = nullptr;
    QLabel* m_message = nullptr;
    std::vector<EngineRow> m_rows;  // the list's rows, in its order
    EngineCatalogue::ListenerId m_listener;
};

}  // namespace pluvik

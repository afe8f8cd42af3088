#pragma once

#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "update/update_check.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace pluvik {

class Dialogs;
class EngineCatalogue;
class Trace;

// The part of the update window that lists what the update server's engines list would change
// (engine, address now, the list's address) and changes the ticked engines when the user clicks
// "更新引擎": at once in the catalogue, and in "engines.txt". An engine the user set by hand says so
// and starts unticked. Hidden while there is nothing to offer, and once the changes are made.
class EngineListPanel : public QWidget {
    Q_OBJECT
public:
    EngineListPanel(EngineCatalogue& engines, Dialogs& dialogs, Trace& trace,
                    std::filesystem::path programDir, QWidget* parent = nullptr);

    // What a check found (nothing: the server names no list): traced; a list with changes is shown,
    // anything else hides the panel.
    void offer(const std::optional<EngineListCheck>& check);
    int offeredCount() const { return static_cast<int>(m_changes.size()); }

    // Command3 "更新引擎".
    void Command3_Click();

signals:
    void shownChanged(bool shown);
    // The engines were changed; the text says how many, for the status line.
    void applied(const QString& text);

private:
    EngineLookup lookup() const;
    void showChanges(bool shown);
    void updateButton();

    EngineCatalogue& m_engines;
    Dialogs& m_dialogs;
    Trace& m_trace;
    std::filesystem::path m_programDir;
    QLabel* m_lblEngines = nullptr;
    QTreeWidget* m_lstEngines = nullptr;
    QPushButton* m_command3 = nullptr;
    std::optional<EngineList> m_list;
    std::vector<OfferedChange> m_changes;
};

}  // namespace pluvik

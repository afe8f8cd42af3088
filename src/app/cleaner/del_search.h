#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "cleaner/cleaner_rules.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace pluvik {

class CURLHistory;
class CleanerTargets;
class Dialogs;
class UrlCache;
class UrlHistoryStorage;

// The stores the trace cleaner empties: the URL history of every browser, and the cookies and cache.
struct CleanerStores {
    UrlHistoryStorage& history;
    UrlCache& cache;
};

// What the trace cleaner works on.
struct CleanerContext {
    Dialogs& dialogs;
    CleanerTargets& targets;
    UrlHistoryStorage& history;
    UrlCache& cache;
};

// The trace cleaner DelSearch, "清理搜索记录": five rows, each with a check box and its own clean
// button, and "清理选中的项目" for the checked rows. Every opening starts from the designed check
// states and reads the URL history afresh.
class DelSearch : public QDialog {
    Q_OBJECT
public:
    explicit DelSearch(CleanerContext context, QWidget* parent = nullptr);
    ~DelSearch() override;

    QCheckBox* checkBox(CleanerRow row) const;
    QPushButton* rowButton(CleanerRow row) const;
    // The history list read when the dialog loaded; null when the history could not be read.
    CURLHistory* urlHistory() const { return m_urlHistory.get(); }

public slots:
    // Command1: the checked rows, top to bottom, then "清理完毕！".
    void cleanChecked();
    // Command3 to Command7: the row, whatever its check box says, then the row's message.
    void cleanRowAndReport(pluvik::CleanerRow row);

private:
    void cleanRow(CleanerRow row);
    void clearUrlHistory();
    void inform(const char* message);

    CleanerContext m_context;
    std::unique_ptr<CURLHistory> m_urlHistory;
    QGroupBox* m_frame1;
    std::array<QCheckBox*, 5> m_checks{};
    std::array<QPushButton*, 5> m_buttons{};
    QPushButton* m_command1;
    QPushButton* m_command2;
};

}  // namespace pluvik

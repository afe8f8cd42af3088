#pragma once

#include <QWidget>
#include <array>

#include "app_context.h"
#include "windows/ranking_lists.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pluvik {

class BrowserView;
class ProportionalLayout;
struct NewWindowSlot;

// The ranking window 搜索排行榜: four outside hot-search lists in one browser, Baidu's shown at once.
// Its controls keep their proportions when the window is resized. The window deletes itself when
// closed, so the next opening starts again on the first list.
class RankingWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 800;
    static constexpr int kDesignHeight = 600;

    explicit RankingWindow(AppContext context, QWidget* parent = nullptr);
    ~RankingWindow() override;

    BrowserView* browser() const { return m_browser; }
    QRadioButton* listButton(int index) const { return m_lists.at(static_cast<size_t>(index)); }
    // Index in RankingListTable of the checked radio button.
    int selectedList() const;

public slots:
    void enter();  // Command1 "进入"

private:
    void buildControls();

    AppContext m_ctx;
    QLabel* m_picture1 = nullptr;
    QButtonGroup* m_group = nullptr;
    std::array<QRadioButton*, RankingListTable::kCount> m_lists{};
    QPushButton* m_command1 = nullptr;
    BrowserView* m_browser = nullptr;
    ProportionalLayout* m_layout = nullptr;
};

}  // namespace pluvik

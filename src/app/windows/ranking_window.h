#pragma once

#include <QSize>
#include <QWidget>

#include "app_context.h"

class QButtonGroup;

namespace pluvik {

class BrowserView;

// The ranking window 搜索排行榜: four outside hot-search lists (radio buttons named after the lists)
// in one browser (WebBrowser1), Baidu's shown at once. Its controls keep their proportions when the
// window is resized. The window deletes itself when closed, so the next opening starts again on the
// first list.
class RankingWindow : public QWidget {
    Q_OBJECT
public:
    // The size the layout is designed at; the window opens at it and scales from it.
    static constexpr QSize kDesignSize{800, 600};

    explicit RankingWindow(AppContext context, QWidget* parent = nullptr);
    ~RankingWindow() override;

private:
    void buildControls();
    void enter();  // Command1 "进入"

    AppContext m_ctx;
    QButtonGroup* m_group = nullptr;
    BrowserView* m_browser = nullptr;
};

}  // namespace pluvik

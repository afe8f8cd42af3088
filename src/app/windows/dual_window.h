#pragma once

#include <QWidget>

#include "app_context.h"

class QButtonGroup;
class QLineEdit;

namespace pluvik {

class BrowserView;
class EngineFollower;
class EngineHealthLog;

// The dual-screen window ersou ("双屏搜索"): one keyword (Text1, Command1) on one of four fixed
// engine pairs (Option1..Option4), the first engine's page on the left (WebBrowser1), the second's on
// the right (WebBrowser2). Fixed layout. The window deletes itself when closed, so the next opening
// starts again on the two home pages with the first pair.
class DualWindow : public QWidget {
    Q_OBJECT
public:
    // What each search's engines did goes to `health`.
    explicit DualWindow(AppContext context, EngineHealthLog* health = nullptr, QWidget* parent = nullptr);
    ~DualWindow() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void search();  // Command1, Enter anywhere but in the result pages

    AppContext m_ctx;
    QLineEdit* m_text1 = nullptr;
    QButtonGroup* m_group = nullptr;
    BrowserView* m_browser1 = nullptr;
    BrowserView* m_browser2 = nullptr;
    EngineFollower* m_follower1 = nullptr;
    EngineFollower* m_follower2 = nullptr;
};

}  // namespace pluvik

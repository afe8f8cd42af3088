#pragma once

#include <QWidget>
#include <array>

#include "app_context.h"
#include "search/engine_table.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pluvik {

class BrowserView;
struct NewWindowSlot;

// The dual-screen window ersou ("双屏搜索"): one keyword on one of four fixed engine pairs, the first
// engine's page on the left, the second's on the right. Fixed layout. The window deletes itself when
// closed, so the next opening starts again on the two home pages with the first pair.
class DualWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 1000;
    static constexpr int kClientHeight = 660;

    explicit DualWindow(AppContext context, QWidget* parent = nullptr);
    ~DualWindow() override;

    QLineEdit* keywordBox() const { return m_text1; }
    BrowserView* leftBrowser() const { return m_browser1; }
    BrowserView* rightBrowser() const { return m_browser2; }
    QRadioButton* pairButton(int index) const { return m_options.at(static_cast<size_t>(index)); }
    int selectedPair() const;

public slots:
    void search();  // Command1, Enter anywhere but in the result pages

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();

    AppContext m_ctx;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QButtonGroup* m_group = nullptr;
    std::array<QRadioButton*, DualPairTable::kCount> m_options{};
    BrowserView* m_browser1 = nullptr;
    BrowserView* m_browser2 = nullptr;
};

}  // namespace pluvik

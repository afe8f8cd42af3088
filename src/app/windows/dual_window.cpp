#include "windows/dual_window.h"

#include <QButtonGroup>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "browse/browse_windows.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/resources.h"
#include "platform/trace.h"
#include "search/search_plan.h"
#include "shell/window_parts.h"
#include "windows/focus_in_browser.h"

namespace pluvik {

DualWindow::DualWindow(AppContext context, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(context) {
    windowPreamble(this, QStringLiteral("ersou"), QStringLiteral("双屏搜索"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(kFixedWindowFlags);
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();

    // Load: both home pages, then quiet script errors on both browsers.
    const DualAddresses home = DualPairTable::homePages();
    m_browser1->Navigate(toQ(home.left));
    m_browser2->Navigate(toQ(home.right));
    m_browser1->setSilent(true);
    m_browser2->setSilent(true);
}

DualWindow::~DualWindow() {
    for (BrowserView* view : {m_browser1, m_browser2}) {
        if (view) view->disconnect(this);
    }
}

void DualWindow::buildControls() {
    pictureBox(this, "Picture1", ":/pluvik/picture1.png", QRect(8, 8, 240, 44));

    const KeywordLine line =
        keywordLine(this, QRect(264, 14, 84, 14), QRect(348, 10, 300, 22), QRect(660, 9, 73, 25));
    m_text1 = line.text;
    m_command1 = line.search;
    connect(m_command1, &QPushButton::clicked, this, &DualWindow::search);

    pictureBox(this, "Picture2", ":/pluvik/picture2.png", QRect(852, 8, 140, 44));

    m_group = optionGroup(this, this, m_options, DualPairTable::kDefault, [](int i) {
        const DualPair& pair = DualPairTable::pair(i);
        return OptionButton{toQ(pair.caption), toQ(pair.option), QRect(264 + i * 110, 42, 100, 20)};
    });

    auto* line1 = new QFrame(this);
    line1->setObjectName("Line1");
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    line1->setGeometry(0, 68, kClientWidth, 4);

    const int top = 76;
    const int width = (kClientWidth - 12) / 2;
    m_browser1 = m_ctx.browsers.create(this, QStringLiteral("WebBrowser1"));
    m_browser1->setGeometry(4, top, width, kClientHeight - top - 4);
    m_browser2 = m_ctx.browsers.create(this, QStringLiteral("WebBrowser2"));
    m_browser2->setGeometry(8 + width, top, width, kClientHeight - top - 4);
    for (BrowserView* view : {m_browser1, m_browser2}) {
        m_ctx.browseWindows.routeNewWindowsOf(view, this);
    }
}

int DualWindow::selectedPair() const {
    return m_group->checkedId();
}

void DualWindow::search() {
    const std::optional<QString> keyword = keywordOrRefuse(m_text1, m_ctx.dialogs, this);
    if (!keyword) return;
    const int pair = selectedPair();
    if (pair < 0) return;
    const DualAddresses addresses = DualPairTable::addresses(pair, toStd(*keyword));
    m_ctx.trace.record("dual_search", {{"left", toQ(addresses.left)}, {"right", toQ(addresses.right)}});
    m_browser1->Navigate(toQ(addresses.left));
    m_browser2->Navigate(toQ(addresses.right));
}

void DualWindow::keyPressEvent(QKeyEvent* event) {
    // Command1 is the default button: an Enter in the keyword box or on an engine option searches.
    if (isWindowEnter(event, this)) {
        search();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pluvik

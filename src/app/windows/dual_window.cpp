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
    initAppResources();
    setObjectName(QStringLiteral("ersou"));
    setWindowTitle(QStringLiteral("双屏搜索"));
    setWindowIcon(QIcon(QStringLiteral(":/pluvik/pluvik.png")));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
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
    useProgramFont(this);

    pictureBox(this, "Picture1", ":/pluvik/picture1.png", QRect(8, 8, 240, 44));

    auto* label1 = new QLabel(QStringLiteral("请输入关键词："), this);
    label1->setObjectName("Label1");
    label1->setGeometry(264, 14, 84, 14);

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName("Text1");
    m_text1->setGeometry(348, 10, 300, 22);

    m_command1 = new QPushButton(QStringLiteral("搜索"), this);
    m_command1->setObjectName("Command1");
    m_command1->setGeometry(660, 9, 73, 25);
    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &DualWindow::search);

    pictureBox(this, "Picture2", ":/pluvik/picture2.png", QRect(852, 8, 140, 44));

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (int i = 0; i < DualPairTable::kCount; ++i) {
        const DualPair& pair = DualPairTable::pair(i);
        auto* option = new QRadioButton(toQ(pair.caption), this);
        option->setObjectName(toQ(pair.option));
        option->setGeometry(264 + i * 110, 42, 100, 20);
        m_group->addButton(option, i);
        m_options[static_cast<size_t>(i)] = option;
    }
    m_options[DualPairTable::kDefault]->setChecked(true);

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
        routeNewWindowsOf(view, this, m_ctx);
    }
}

int DualWindow::selectedPair() const {
    return m_group->checkedId();
}

void DualWindow::search() {
    const QString keyword = m_text1->text();
    // Only an empty box is refused; blanks are searched.
    if (keyword.isEmpty()) {
        m_ctx.dialogs.inform(this, toQ(kEmptyKeywordMessage));
        return;
    }
    const int pair = selectedPair();
    if (pair < 0) return;
    const DualAddresses addresses = DualPairTable::addresses(pair, toStd(keyword));
    m_ctx.trace.record("dual_search", {{"left", toQ(addresses.left)}, {"right", toQ(addresses.right)}});
    m_browser1->Navigate(toQ(addresses.left));
    m_browser2->Navigate(toQ(addresses.right));
}

void DualWindow::keyPressEvent(QKeyEvent* event) {
    // Command1 is the default button: an Enter that no control took (the keyword box, an engine
    // option, a frame) runs the search. A result page keeps its own Enter.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !focusInBrowser(this)) {
        search();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pluvik

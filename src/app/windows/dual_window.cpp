#include "windows/dual_window.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPushButton>
#include <array>

#include "browse/browse_windows.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/engine_catalogue.h"
#include "search/engine_table.h"
#include "search/engine_watch.h"
#include "shell/window_parts.h"

namespace pluvik {

namespace {

constexpr QSize kClientSize{1000, 660};

}  // namespace

DualWindow::DualWindow(AppContext context, EngineHealthLog* health, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context) {
    windowPreamble(this, QStringLiteral("ersou"), QStringLiteral("双屏搜索"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(kFixedWindowFlags);
    setFixedSize(kClientSize);
    buildControls();
    const auto follower = [&](BrowserView* view) {
        return new EngineFollower(m_ctx.trace, view, {}, std::nullopt, health, EngineFollower::Deadline::Own,
                                  this);
    };
    m_follower1 = follower(m_browser1);
    m_follower2 = follower(m_browser2);

    // Load: both home pages, then quiet script errors on both browsers.
    const DualAddresses home = DualPairTable::homePages();
    m_browser1->Navigate(toQ(home.left));
    m_browser2->Navigate(toQ(home.right));
    m_browser1->setSilent(true);
    m_browser2->setSilent(true);
}

DualWindow::~DualWindow() {
    m_follower1->detach();
    m_follower2->detach();
    for (BrowserView* view : {m_browser1, m_browser2}) {
        if (view) view->disconnect(this);
    }
}

void DualWindow::buildControls() {
    pictureBox(this, "Picture1", ":/pluvik/picture1.png", QRect(8, 8, 240, 44));

    const KeywordLine line =
        keywordLine(this, QRect(264, 14, 84, 14), QRect(348, 10, 300, 22), QRect(660, 9, 73, 25));
    m_text1 = line.text;
    connect(line.search, &QPushButton::clicked, this, &DualWindow::search);

    pictureBox(this, "Picture2", ":/pluvik/picture2.png", QRect(852, 8, 140, 44));

    std::array<QRadioButton*, DualPairTable::kCount> options{};
    m_group = optionGroup(this, this, options, DualPairTable::kDefault, [](int i) {
        const DualPair& pair = DualPairTable::pair(i);
        return OptionButton{toQ(pair.caption), toQ(pair.option), QRect(264 + i * 110, 42, 100, 20)};
    });

    horizontalLine(this, "Line1", QRect(0, 68, kClientSize.width(), 4));

    const int top = 76;
    const int width = (kClientSize.width() - 12) / 2;
    const int height = kClientSize.height() - top - 4;
    m_browser1 = m_ctx.browsers.create(this, QStringLiteral("WebBrowser1"));
    m_browser1->setGeometry(4, top, width, height);
    m_browser2 = m_ctx.browsers.create(this, QStringLiteral("WebBrowser2"));
    m_browser2->setGeometry(8 + width, top, width, height);
    for (BrowserView* view : {m_browser1, m_browser2}) {
        m_ctx.browseWindows.routeNewWindowsOf(view, this);
    }
}

void DualWindow::search() {
    const std::optional<QString> keyword = keywordOrRefuse(m_text1, m_ctx.dialogs, this);
    if (!keyword) return;
    const int pair = m_group->checkedId();
    if (pair < 0) return;
    const DualAddresses addresses = m_ctx.engines.dualAddresses(pair, toStd(*keyword));
    m_ctx.trace.record("dual_search", {{"left", toQ(addresses.left)}, {"right", toQ(addresses.right)}});
    traceReferences(m_ctx.trace, QStringLiteral("dual"), addresses.references);
    const DualPair& engines = DualPairTable::pair(pair);
    m_follower1->follow(toQ(engines.leftKey), *keyword, toQ(addresses.left));
    m_follower2->follow(toQ(engines.rightKey), *keyword, toQ(addresses.right));
    m_browser1->Navigate(toQ(addresses.left));
    m_browser2->Navigate(toQ(addresses.right));
}

void DualWindow::keyPressEvent(QKeyEvent* event) {
    // Command1 is the default button: an Enter in the keyword box or on an engine option searches.
    if (!searchOnEnter(event, this, [this] { search(); })) QWidget::keyPressEvent(event);
}

}  // namespace pluvik

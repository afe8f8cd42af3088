#include "windows/ranking_window.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "browse/browse_windows.h"
#include "browse/moveform_adapter.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "shell/window_parts.h"
#include "windows/ranking_lists.h"

namespace pluvik {

RankingWindow::RankingWindow(AppContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context) {
    windowPreamble(this, QStringLiteral("搜索排行榜"), QStringLiteral("搜索排行榜"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    // Load: the design layout first, then the first list, with the pages' script errors kept quiet.
    resize(kDesignSize);
    auto* layout = new ProportionalLayout(this);  // the window's child: it scales for the window's life
    layout->record();
    m_browser->Navigate(toQ(RankingListTable::address(RankingListTable::kDefault)));
    m_browser->setSilent(true);
}

RankingWindow::~RankingWindow() {
    if (m_browser) m_browser->disconnect(this);
}

void RankingWindow::buildControls() {
    pictureBox(this, "Picture1", QStringLiteral(":/pluvik/picture1.png"), QRect(8, 8, 240, 44))
        ->setScaledContents(true);

    std::array<QRadioButton*, RankingListTable::kCount> lists{};
    m_group = optionGroup(this, this, lists, RankingListTable::kDefault, [](int i) {
        const QString name = toQ(RankingListTable::list(i).name);
        // Two rows of two to the right of the banner.
        return OptionButton{name, name, QRect(272 + (i % 2) * 112, 10 + (i / 2) * 22, 104, 20)};
    });

    auto* command1 = placed<QPushButton>(this, "Command1", QStringLiteral("进入"), QRect(504, 17, 73, 25));
    connect(command1, &QPushButton::clicked, this, &RankingWindow::enter);

    m_browser = m_ctx.browsers.create(this, QStringLiteral("WebBrowser1"));
    m_browser->setGeometry(0, 60, kDesignSize.width(), kDesignSize.height() - 60);
    m_ctx.browseWindows.routeNewWindowsOf(m_browser, this);
}

void RankingWindow::enter() {
    m_browser->setSilent(true);
    const int list = m_group->checkedId();
    if (list < 0) return;
    const QString address = toQ(RankingListTable::address(list));
    m_ctx.trace.record("ranking_enter", {{"url", address}});
    m_browser->Navigate(address);
}

}  // namespace pluvik

#include "windows/ranking_window.h"

#include <QButtonGroup>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "browse/browse_windows.h"
#include "browse/moveform_adapter.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/resources.h"
#include "platform/trace.h"
#include "shell/window_parts.h"

namespace pluvik {

RankingWindow::RankingWindow(AppContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context) {
    windowPreamble(this, QStringLiteral("搜索排行榜"), QStringLiteral("搜索排行榜"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    // Load: the design layout first, then the first list, with the pages' script errors kept quiet.
    resize(kDesignWidth, kDesignHeight);
    m_layout = new ProportionalLayout(this);
    m_layout->record();
    m_browser->Navigate(toQ(RankingListTable::address(RankingListTable::kDefault)));
    m_browser->setSilent(true);
}

RankingWindow::~RankingWindow() {
    if (m_browser) m_browser->disconnect(this);
}

void RankingWindow::buildControls() {
    m_picture1 = new QLabel(this);
    m_picture1->setObjectName("Picture1");
    m_picture1->setPixmap(QPixmap(QStringLiteral(":/pluvik/picture1.png")));
    m_picture1->setScaledContents(true);
    m_picture1->setGeometry(8, 8, 240, 44);

    m_group = optionGroup(this, this, m_lists, RankingListTable::kDefault, [](int i) {
        const QString name = toQ(RankingListTable::list(i).name);
        // Two rows of two to the right of the banner.
        return OptionButton{name, name, QRect(272 + (i % 2) * 112, 10 + (i / 2) * 22, 104, 20)};
    });

    m_command1 = new QPushButton(QStringLiteral("进入"), this);
    m_command1->setObjectName("Command1");
    m_command1->setGeometry(504, 17, 73, 25);
    connect(m_command1, &QPushButton::clicked, this, &RankingWindow::enter);

    m_browser = m_ctx.browsers.create(this, QStringLiteral("WebBrowser1"));
    m_browser->setGeometry(0, 60, kDesignWidth, kDesignHeight - 60);
    m_ctx.browseWindows.routeNewWindowsOf(m_browser, this);
}

int RankingWindow::selectedList() const {
    return m_group->checkedId();
}

void RankingWindow::enter() {
    m_browser->setSilent(true);
    const int list = selectedList();
    if (list < 0) return;
    const QString address = toQ(RankingListTable::address(list));
    m_ctx.trace.record("ranking_enter", {{"url", address}});
    m_browser->Navigate(address);
}

}  // namespace pluvik

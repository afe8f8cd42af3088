#include "windows/sponsor_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "platform/qt_text.h"
#include "windows/open_link_decision.h"

namespace pluvik {

namespace {

// The two buttons, each opening its page. Neither is a default: Enter must not open a page by surprise.
struct PageButton {
    const char* name;
    const char* caption;
    int top;
    MakerPage page;
};

const PageButton kButtons[] = {
    {"Command1", "点击这里进行赞助", 74, MakerPage::Sponsor},
    {"Command2", "点击这里进行游戏", 146, MakerPage::Games},
};

}  // namespace

SponsorDialog::SponsorDialog(AppContext context, QWidget* parent)
    : LinkDialog(std::move(context), QStringLiteral("giveus"), QStringLiteral("赞助我们"), QSize(360, 200),
                 parent) {
    textBlock(this, "Label1",
              QStringLiteral("Pluvik 是一款免费软件，由我们利用业余时间编写和维护。"
                             "如果您喜欢它，欢迎给予我们少量赞助，支持我们把它做得更好。"),
              QRect(20, 16, 320, 54));
    placed<QLabel>(this, "Label3", QStringLiteral("或者，您可以进行游戏，来赞助我们。"),
                   QRect(20, 118, 320, 18));

    for (const PageButton& b : kButtons) {
        auto* button =
            placed<QPushButton>(this, b.name, QString::fromUtf8(b.caption), QRect(100, b.top, 160, 28));
        button->setAutoDefault(false);
        const QString address = toQ(makerAddress(b.page));
        connect(button, &QPushButton::clicked, this, [this, address] { openLink(address); });
    }
}

}  // namespace pluvik

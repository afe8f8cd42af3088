#include "windows/sponsor_dialog.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "platform/qt_text.h"
#include "platform/resources.h"
#include "shell/window_parts.h"
#include "windows/open_link.h"
#include "windows/open_link_decision.h"

namespace pluvik {

SponsorDialog::SponsorDialog(AppContext context, QWidget* parent)
    : QDialog(parent), m_ctx(std::move(context)) {
    windowPreamble(this, QStringLiteral("giveus"), QStringLiteral("赞助我们"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(kClientWidth, kClientHeight);

    auto* label1 = new QLabel(QStringLiteral("Pluvik 是一款免费软件，由我们利用业余时间编写和维护。"
                                             "如果您喜欢它，欢迎给予我们少量赞助，支持我们把它做得更好。"),
                              this);
    label1->setObjectName("Label1");
    label1->setWordWrap(true);
    label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label1->setGeometry(20, 16, 320, 54);

    auto* command1 = new QPushButton(QStringLiteral("点击这里进行赞助"), this);
    command1->setObjectName("Command1");
    command1->setGeometry(100, 74, 160, 28);
    // Neither button is a default: Enter must not open a page by surprise.
    command1->setAutoDefault(false);
    connect(command1, &QPushButton::clicked, this, &SponsorDialog::sponsor);

    auto* label3 = new QLabel(QStringLiteral("或者，您可以进行游戏，来赞助我们。"), this);
    label3->setObjectName("Label3");
    label3->setGeometry(20, 118, 320, 18);

    auto* command2 = new QPushButton(QStringLiteral("点击这里进行游戏"), this);
    command2->setObjectName("Command2");
    command2->setGeometry(100, 146, 160, 28);
    command2->setAutoDefault(false);
    connect(command2, &QPushButton::clicked, this, &SponsorDialog::games);
}

void SponsorDialog::sponsor() {
    OpenLink(m_ctx, this, toQ(makerAddress(MakerPage::Sponsor)));
}

void SponsorDialog::games() {
    OpenLink(m_ctx, this, toQ(makerAddress(MakerPage::Games)));
}

}  // namespace pluvik

#include "windows/about_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "platform/qt_text.h"
#include "windows/link_label.h"
#include "windows/open_link_decision.h"

namespace pluvik {

namespace {

constexpr QSize kClientSize{420, 300};

struct LinkRow {
    const char* captionName;
    const char* caption;
    const char* linkName;
    MakerPage page;
};

const LinkRow kRows[] = {
    {"Label12", "产品网站：", "Label11", MakerPage::ProductHome},
    {"Label2", "官方网站：", "Label4", MakerPage::MakerHome},
    {"Label5", "官方论坛：", "Label3", MakerPage::Forum},
    {"Label6", "官方博客：", "Label7", MakerPage::Blog},
};

}  // namespace

AboutDialog::AboutDialog(AppContext context, QWidget* parent)
    : LinkDialog(std::move(context), QStringLiteral("frmAbout"), QStringLiteral("关于 Pluvik"), kClientSize,
                 parent) {
    // The background of the upper part, behind the logo and the texts.
    auto* picture1 = new QFrame(this);
    picture1->setObjectName("Picture1");
    picture1->setGeometry(0, 0, kClientSize.width(), 88);
    picture1->setAutoFillBackground(true);
    QPalette p = picture1->palette();
    p.setColor(QPalette::Window, QColor(0xF2, 0xF7, 0xFF));
    picture1->setPalette(p);

    pictureBox(this, "Image1", QStringLiteral(":/pluvik/pluvik.png"), QRect(16, 12, 64, 64));

    auto* description = placed<QLabel>(this, "lblDescription", QStringLiteral("Pluvik 多引擎搜索程序"),
                                       QRect(96, 42, 300, 22));
    QFont big = description->font();
    big.setPixelSize(16);
    big.setBold(true);
    description->setFont(big);
    placed<QLabel>(this, "lblVersion", QStringLiteral("版本 6.2.368"), QRect(96, 18, 90, 16));
    placed<QLabel>(this, "Label10", QStringLiteral("build 352"), QRect(190, 18, 90, 16));

    for (int row = 0; row < 4; ++row) {
        const LinkRow& r = kRows[row];
        const int y = 104 + row * 26;
        placed<QLabel>(this, r.captionName, QString::fromUtf8(r.caption), QRect(16, y, 72, 18));
        const QString address = toQ(makerAddress(r.page));
        auto* link = placed<LinkLabel>(this, r.linkName, address, QRect(92, y, 300, 18));
        connect(link, &LinkLabel::clicked, this, [this, address] { openLink(address); });
    }

    horizontalLine(this, "Line2", QRect(16, 214, kClientSize.width() - 32, 4));

    textBlock(this, "lblDisclaimer",
              QStringLiteral("警告：本程序受著作权法保护，未经许可，任何人不得复制、修改或传播本程序"
                             "的全部或部分内容。"),
              QRect(16, 224, 290, 64));

    auto* cmdOK = placed<QPushButton>(this, "cmdOK", QStringLiteral("确定"),
                                      QRect(kClientSize.width() - 97, kClientSize.height() - 37, 81, 25));
    // The default button for Enter; Esc is the dialog's own cancel, and both close it.
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace pluvik

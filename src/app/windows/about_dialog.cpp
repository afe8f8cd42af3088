#include "windows/about_dialog.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "platform/qt_text.h"
#include "platform/resources.h"
#include "shell/window_parts.h"
#include "windows/link_label.h"
#include "windows/open_link.h"
#include "windows/open_link_decision.h"

namespace pluvik {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    return l;
}

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
    : QDialog(parent), m_ctx(std::move(context)) {
    windowPreamble(this, QStringLiteral("frmAbout"), QStringLiteral("关于 Pluvik"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();
}

void AboutDialog::buildControls() {
    // The background of the upper part, behind the logo and the texts.
    auto* picture1 = new QFrame(this);
    picture1->setObjectName("Picture1");
    picture1->setGeometry(0, 0, kClientWidth, 88);
    picture1->setAutoFillBackground(true);
    QPalette p = picture1->palette();
    p.setColor(QPalette::Window, QColor(0xF2, 0xF7, 0xFF));
    picture1->setPalette(p);

    auto* image1 = new QLabel(this);
    image1->setObjectName("Image1");
    image1->setPixmap(QPixmap(QStringLiteral(":/pluvik/pluvik.png")));
    image1->setGeometry(16, 12, 64, 64);

    QLabel* description =
        label(this, "lblDescription", QStringLiteral("Pluvik 多引擎搜索程序"), QRect(96, 42, 300, 22));
    QFont big = description->font();
    big.setPixelSize(16);
    big.setBold(true);
    description->setFont(big);
    label(this, "lblVersion", QStringLiteral("版本 6.2.368"), QRect(96, 18, 90, 16));
    label(this, "Label10", QStringLiteral("build 352"), QRect(190, 18, 90, 16));

    for (int row = 0; row < 4; ++row) {
        const LinkRow& r = kRows[row];
        const int y = 104 + row * 26;
        label(this, r.captionName, QString::fromUtf8(r.caption), QRect(16, y, 72, 18));
        const QString address = toQ(makerAddress(r.page));
        auto* link = new LinkLabel(address, this);
        link->setObjectName(QString::fromLatin1(r.linkName));
        link->setGeometry(92, y, 300, 18);
        connect(link, &LinkLabel::clicked, this,
                [this, address] { OpenLink(m_ctx, this, address); });
        m_links[static_cast<size_t>(row)] = link;
    }

    auto* line2 = new QFrame(this);
    line2->setObjectName("Line2");
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
    line2->setGeometry(16, 214, kClientWidth - 32, 4);

    QLabel* disclaimer =
        label(this, "lblDisclaimer",
              QStringLiteral("警告：本程序受著作权法保护，未经许可，任何人不得复制、修改或传播本程序"
                             "的全部或部分内容。"),
              QRect(16, 224, 290, 64));
    disclaimer->setWordWrap(true);
    disclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_cmdOK = new QPushButton(QStringLiteral("确定"), this);
    m_cmdOK->setObjectName("cmdOK");
    m_cmdOK->setGeometry(kClientWidth - 97, kClientHeight - 37, 81, 25);
    // The default button for Enter; Esc is the dialog's own cancel, and both close it.
    m_cmdOK->setDefault(true);
    m_cmdOK->setAutoDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace pluvik

#include "options/options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

#include "options/option_rules.h"
#include "options/options_target.h"
#include "platform/animation_rate.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "search/engine_table.h"
#include "search/service_hosts.h"
#include "shell/window_parts.h"

namespace pluvik {

namespace {

// The engine boxes go in the catalogue's order, eight to a row on the first page.
constexpr int kBoxesPerRow = 8;

// The example on the user-defined engines page: a complete web-search address of the first engine,
// whose last query key takes the keyword.
QString exampleSearchPrefix() {
    return toQ(serviceAddress(Service::BaiduWeb)) +
           QStringLiteral("/s?ie=gb2312&bs=&sr=&z=&cl=3&f=8&wd=&ct=0&word=");
}

// A page of the tab control with its parts one under the other, kept at the top.
QWidget* columnPage(const QMargins& margins,
                    const std::function<void(QWidget* page, QVBoxLayout* column)>& fill) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(margins);
    fill(page, column);
    column->addStretch(1);
    return page;
}

const QString kKeptTabNotice = QStringLiteral("至少需要保留一个搜索引擎选项卡，最后一个选项卡未被关闭。");

}  // namespace

OptionsDialog::OptionsDialog(AppContext context, OptionsTarget& target, QWidget* parent)
    : QDialog(parent), m_ctx(context), m_target(target) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("选项"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    buildControls();
    load();
    // From here on every reader of a setting sees these controls.
    m_ctx.settings.setLiveSource([this] { return valuesFromControls(); });
}

OptionsDialog::~OptionsDialog() {
    // Destroyed without being closed (the program ends): the values are dropped as by Cancel.
    if (!m_finished) finish(Ending::Discard);
}

OptionsDialog* OptionsDialog::showOptions(QPointer<OptionsDialog>& instance, AppContext context,
                                          OptionsTarget& target, QWidget* parent) {
    // A dialog that has closed but is not deleted yet is gone as far as the user is concerned.
    if (!instance || instance->m_finished) instance = new OptionsDialog(context, target, parent);
    instance->show();
    instance->raise();
    instance->activateWindow();
    return instance;
}

void OptionsDialog::buildControls() {
    useProgramFont(this);

    m_ssTab1 = new QTabWidget(this);
    m_ssTab1->setObjectName(QStringLiteral("SSTab1"));
    m_ssTab1->addTab(buildEnginesPage(), QStringLiteral("搜索引擎"));
    m_ssTab1->addTab(buildDiyPage(), QStringLiteral("自定义搜索"));
    m_ssTab1->addTab(buildBrowserPage(), QStringLiteral("浏览器选择"));
    m_ssTab1->addTab(buildStatementPage(), QStringLiteral("声明"));

    // OK is the default button; the others never take Enter.
    const struct {
        const char* name;
        const char* caption;
        void (OptionsDialog::*click)();
        bool isDefault;
    } kButtons[] = {
        {"cmdOK", "确定", &OptionsDialog::cmdOKClick, true},
        {"cmdCancel", "取消", &OptionsDialog::cmdCancelClick, false},
        {"cmdApply", "应用", &OptionsDialog::cmdApplyClick, false},
    };
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (const auto& b : kButtons) {
        auto* button = named<QPushButton>(this, b.name, QString::fromUtf8(b.caption));
        if (b.isDefault)
            button->setDefault(true);
        else
            button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.click);
        button->setFixedSize(75, 25);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_ssTab1);
    layout->addLayout(buttons);

    // A box that showed a hand-edited value becomes an ordinary two-state box once the user clicks it.
    for (QCheckBox* box : m_boxes) {
        connect(box, &QCheckBox::stateChanged, box, [box](int state) {
            if (state != Qt::PartiallyChecked) box->setTristate(false);
        });
    }
    setFixedSize(sizeHint());
}

QWidget* OptionsDialog::buildEnginesPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(14);
    grid->addWidget(named<QLabel>(page, "Label1", QStringLiteral("请选择需要的搜索引擎：")), 0, 0, 1,
                    kBoxesPerRow);
    for (int i = 0; i < Settings::kEngineCount; ++i) {
        const EngineSlot& engine = EngineTable::slot(i);
        auto* box = new QCheckBox(toQ(engine.boxCaption), page);
        box->setObjectName(toQ(engine.field));
        grid->addWidget(box, 1 + i / kBoxesPerRow, i % kBoxesPerRow);
        m_boxes[static_cast<size_t>(i)] = box;
    }
    grid->setRowStretch(1 + (Settings::kEngineCount + kBoxesPerRow - 1) / kBoxesPerRow, 1);
    return page;
}

QWidget* OptionsDialog::buildDiyPage() {
    return columnPage(QMargins(12, 10, 12, 10), [this](QWidget* page, QVBoxLayout* column) {
        for (int n = 1; n <= 2; ++n) {
            const QString diy = QStringLiteral("DIY%1").arg(n);
            auto* frame = named<QGroupBox>(page, QStringLiteral("Frame%1").arg(n), diy);
            auto* grid = new QGridLayout(frame);
            auto* open = named<QCheckBox>(frame, QStringLiteral("opendiy%1").arg(n),
                                          QStringLiteral("启用%1搜索").arg(diy));
            auto* name = new QLineEdit(frame);
            name->setObjectName(QStringLiteral("diy%1name").arg(n));
            auto* url = new QLineEdit(frame);
            url->setObjectName(QStringLiteral("diy%1url").arg(n));
            auto* nameLabel =
                named<QLabel>(frame, QStringLiteral("diy%1nameLabel").arg(n), QStringLiteral("搜索名称："));
            auto* urlLabel =
                named<QLabel>(frame, QStringLiteral("diy%1urlLabel").arg(n), QStringLiteral("搜索字串："));
            // How the engine reads the keyword, in the order of KeywordEncoding.
            auto* encoding = new QComboBox(frame);
            encoding->setObjectName(QStringLiteral("diy%1encoding").arg(n));
            encoding->addItems({QStringLiteral("GBK"), QStringLiteral("UTF-8")});
            encoding->setToolTip(QStringLiteral("该搜索引擎网站读取关键词所用的编码"));
            auto* encodingLabel =
                named<QLabel>(frame, QStringLiteral("diy%1encodingLabel").arg(n), QStringLiteral("编码："));
            nameLabel->setBuddy(name);
            urlLabel->setBuddy(url);
            encodingLabel->setBuddy(encoding);
            grid->addWidget(open, 0, 0, 1, 4);
            grid->addWidget(nameLabel, 1, 0);
            grid->addWidget(name, 1, 1, 1, 3);
            grid->addWidget(urlLabel, 2, 0);
            grid->addWidget(url, 2, 1);
            grid->addWidget(encodingLabel, 2, 2);
            grid->addWidget(encoding, 2, 3);
            column->addWidget(frame);
            m_boxes[static_cast<size_t>(n == 1 ? EngineTable::kDiy1Tab : EngineTable::kDiy2Tab)] = open;
            m_diyName[static_cast<size_t>(n - 1)] = name;
            m_diyUrl[static_cast<size_t>(n - 1)] = url;
            m_diyEncoding[static_cast<size_t>(n - 1)] = encoding;
        }
        const QString prefix = exampleSearchPrefix();
        const QString help[] = {
            QStringLiteral("注：搜索字串请输入“URL”。"),
            QStringLiteral("例子：") + prefix + QStringLiteral("禾朔"),
            QStringLiteral("其中“") + prefix + QStringLiteral("”就是URL"),
        };
        for (int i = 0; i < 3; ++i) {
            auto* line = named<QLabel>(page, QStringLiteral("Label%1").arg(2 + i), help[i]);
            // The user may want to copy the example address.
            line->setTextInteractionFlags(Qt::TextSelectableByMouse);
            column->addWidget(line);
        }
    });
}

QWidget* OptionsDialog::buildBrowserPage() {
    return columnPage(QMargins(16, 16, 16, 16), [this](QWidget* page, QVBoxLayout* column) {
        column->setSpacing(12);
        column->addWidget(named<QLabel>(page, "Label5", QStringLiteral("请选择打开Pluvik链接的浏览器：")));
        m_sousuo = named<QRadioButton>(page, "sousuo", QStringLiteral("搜索浏览器"));
        m_ie = named<QRadioButton>(page, "ie", QStringLiteral("IE浏览器"));
        auto* choices = new QHBoxLayout;
        choices->addSpacing(24);
        choices->addWidget(m_sousuo);
        choices->addSpacing(24);
        choices->addWidget(m_ie);
        choices->addStretch(1);
        column->addLayout(choices);
        auto* note = named<QLabel>(
            page, "Label6",
            QStringLiteral(
                "注：选择的浏览器将接管Pluvik的所有链接打开权。仅在搜索浏览器无法使用的时候使用。"));
        note->setWordWrap(true);
        column->addWidget(note);
        column->addWidget(buildAnimationChoice(page));
        column->addWidget(buildTabLoadingChoice(page));
    });
}

QGroupBox* OptionsDialog::buildAnimationChoice(QWidget* page) {
    auto* box = named<QGroupBox>(page, "donghua", QStringLiteral("网页动画"));
    auto* column = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    m_animation = new QButtonGroup(box);
    const struct {
        const char* name;
        const char* caption;
        AnimationChoice choice;
    } kChoices[] = {{"liuchang", "流畅", AnimationChoice::Smooth},
                    {"biaozhun", "标准", AnimationChoice::Standard},
                    {"shengdian", "省电", AnimationChoice::Saver}};
    for (const auto& c : kChoices) {
        auto* button = named<QRadioButton>(box, c.name, QString::fromUtf8(c.caption));
        m_animation->addButton(button, static_cast<int>(c.choice));
        row->addSpacing(24);
        row->addWidget(button);
    }
    row->addStretch(1);
    column->addLayout(row);
    m_animation->button(static_cast<int>(m_ctx.animation.choice()))->setChecked(true);
    QString text = QStringLiteral(
        "注：流畅显示网页动画的每一帧；标准每秒30帧，使用电池时同省电；省电每秒10帧。"
        "播放视频或操作网页时总是显示每一帧。");
    // The environment's rate wins; the choice is still kept for a start without it.
    if (m_ctx.animation.overridden())
        text +=
            QStringLiteral("\n当前由环境变量 PLUVIK_ANIMATION_FPS 设为每秒%1帧。").arg(m_ctx.animation.fps());
    auto* note = named<QLabel>(box, "Label8", text);
    note->setWordWrap(true);
    column->addWidget(note);
    return box;
}

void OptionsDialog::applyAnimation() {
    m_ctx.animation.setChoice(static_cast<AnimationChoice>(m_animation->checkedId()));
}

QGroupBox* OptionsDialog::buildTabLoadingChoice(QWidget* page) {
    auto* box = named<QGroupBox>(page, "dakai", QStringLiteral("打开网页"));
    auto* column = new QVBoxLayout(box);
    m_whenShown = named<QCheckBox>(box, "qiehuandakai", QStringLiteral("切换到标签时才打开网页"));
    m_whenShown->setChecked(m_target.loadsTabsWhenShown());
    column->addWidget(m_whenShown);
    auto* note = named<QLabel>(
        box, "Label9",
        QStringLiteral("注：搜索时只打开当前标签的网页，其他标签的网页在第一次切换到该标签时打开，"
                       "保存或打印所有结果时先打开全部网页。"));
    note->setWordWrap(true);
    column->addWidget(note);
    return box;
}

void OptionsDialog::applyTabLoading(bool keep) {
    if (QString error; !m_target.setLoadsTabsWhenShown(m_whenShown->isChecked(), keep, &error))
        m_ctx.dialogs.inform(this, QStringLiteral("打开网页的设置无法保存：") + error +
                                       QStringLiteral("\n本次运行中仍然有效。"));
}

QWidget* OptionsDialog::buildStatementPage() {
    return columnPage(QMargins(20, 20, 20, 20), [](QWidget* page, QVBoxLayout* column) {
        auto* notice = named<QLabel>(page, "Label7",
                                     QStringLiteral("Pluvik 由禾朔工作室设计制作，版权归禾朔工作室所有。\n\n"
                                                    "本软件免费提供给个人使用，欢迎传播，但请保持软件完整，"
                                                    "不得用于任何商业用途。\n\n"
                                                    "各选项卡中的搜索结果均由相应的搜索引擎网站提供，"
                                                    "其内容与禾朔工作室无关。\n\n"
                                                    "禾朔工作室"));
        notice->setWordWrap(true);
        notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        column->addWidget(notice);
    });
}

void OptionsDialog::centreOnScreen() {
    const QScreen* s = screen();
    if (!s) return;
    const QRect area = s->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void OptionsDialog::load() {
    centreOnScreen();
    m_ssTab1->setCurrentIndex(0);
    // When reading has to create a settings file first, the dialog is on screen before it is written.
    if (!m_ctx.settings.isLoaded() && !m_ctx.settings.settingsFilesExist()) show();
    fillControls(m_ctx.settings.current());
}

void OptionsDialog::fillControls(const Settings& s) {
    for (int tab = 0; tab < Settings::kEngineCount; ++tab) setBoxValue(tab, s.engine(tab));
    setBoxValue(EngineTable::kDiy1Tab, s.opendiy1);
    setBoxValue(EngineTable::kDiy2Tab, s.opendiy2);
    for (int n = 1; n <= 2; ++n) {
        m_diyName[static_cast<size_t>(n - 1)]->setText(toQ(s.diyName(n)));
        m_diyUrl[static_cast<size_t>(n - 1)]->setText(toQ(s.diyUrl(n)));
        m_diyEncoding[static_cast<size_t>(n - 1)]->setCurrentIndex(static_cast<int>(s.diyEncoding(n)));
    }
    // Set in file order, so with both lines true the later one wins, as on the option buttons.
    if (s.sousuo) m_sousuo->setChecked(true);
    if (s.ie) m_ie->setChecked(true);
}

void OptionsDialog::setBoxValue(int box, std::int16_t value) {
    QCheckBox* b = m_boxes[static_cast<size_t>(box)];
    if (const Switch state = switchValue(value); state != Switch::Held) {
        b->setTristate(false);
        b->setCheckState(state == Switch::On ? Qt::Checked : Qt::Unchecked);
        return;
    }
    m_heldValues[static_cast<size_t>(box)] = value;
    b->setTristate(true);
    b->setCheckState(Qt::PartiallyChecked);
}

std::int16_t OptionsDialog::boxValue(int box) const {
    switch (m_boxes[static_cast<size_t>(box)]->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::Unchecked:
            return 0;
        case Qt::PartiallyChecked:
            break;
    }
    return m_heldValues[static_cast<size_t>(box)];
}

Settings OptionsDialog::valuesFromControls() const {
    Settings s;
    for (int tab = 0; tab < Settings::kEngineCount; ++tab) s.setEngine(tab, boxValue(tab));
    s.sousuo = m_sousuo->isChecked();
    s.ie = m_ie->isChecked();
    s.opendiy1 = boxValue(EngineTable::kDiy1Tab);
    s.opendiy2 = boxValue(EngineTable::kDiy2Tab);
    s.diy1name = toStd(m_diyName[0]->text());
    s.diy2name = toStd(m_diyName[1]->text());
    s.diy1url = toStd(m_diyUrl[0]->text());
    s.diy2url = toStd(m_diyUrl[1]->text());
    for (int n = 1; n <= 2; ++n)
        s.setDiyEncoding(
            n, static_cast<KeywordEncoding>(m_diyEncoding[static_cast<size_t>(n - 1)]->currentIndex()));
    return s;
}

void OptionsDialog::carryOut(const TabPlan& plan) {
    for (const TabOp& op : plan.ops) {
        switch (op.kind) {
            case TabOp::Hide:
                m_target.setTabVisible(op.tab, false);
                break;
            case TabOp::Show:
                m_target.setTabVisible(op.tab, true);
                break;
            case TabOp::SetCaption:
                m_target.setTabCaption(op.tab, toQ(op.caption));
                break;
        }
    }
    if (plan.keptLastTab && !m_toldKeptTab) {
        m_toldKeptTab = true;
        m_ctx.dialogs.inform(this, kKeptTabNotice);
    }
}

void OptionsDialog::cmdApplyClick() {
    carryOut(applyOps(valuesFromControls(), m_target.tabVisibility()));
    applyAnimation();
    applyTabLoading(false);
}

void OptionsDialog::cmdOKClick() {
    const Settings values = valuesFromControls();
    carryOut(okOps(values, m_target.tabVisibility()));
    if (!m_ctx.settings.SaveSettings(values)) {
        // The store keeps these values, so the rest of this run goes by them.
        m_ctx.dialogs.inform(this, QStringLiteral("设置无法保存：") + toQ(m_ctx.settings.lastError()) +
                                       QStringLiteral("\n本次运行中所做的设置仍然有效。"));
    }
    m_target.switchesSaved(values);
    applyAnimation();
    if (QString error; !m_ctx.animation.save(&error))
        m_ctx.dialogs.inform(this, QStringLiteral("网页动画的设置无法保存：") + error +
                                       QStringLiteral("\n本次运行中仍然有效。"));
    applyTabLoading(true);
    m_saved = true;
    close();
}

void OptionsDialog::cmdCancelClick() {
    close();
}

void OptionsDialog::reject() {
    close();
}

void OptionsDialog::closeEvent(QCloseEvent* event) {
    finish(m_saved ? Ending::Keep : Ending::Discard);
    event->accept();
}

void OptionsDialog::finish(Ending ending) {
    if (m_finished) return;
    m_finished = true;
    m_ctx.settings.clearLiveSource();
    // Cancel: the next reader loads what is on disk. After OK the store has done its part already.
    if (ending == Ending::Discard) m_ctx.settings.Release();
}

}  // namespace pluvik

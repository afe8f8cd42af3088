#include "shell/window_parts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <set>
#include <string>

#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/resources.h"
#include "search/search_plan.h"
#include "search/tab_commands.h"
#include "shell/page_files.h"
#include "windows/focus_in_browser.h"
#include "windows/open_link.h"

namespace pluvik {

void useProgramFont(QWidget* window) {
    QFont font = window->font();
    font.setPixelSize(12);
    window->setFont(font);
}

void windowPreamble(QWidget* window, const QString& name, const QString& title) {
    initAppResources();
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setWindowIcon(QIcon(QStringLiteral(":/pluvik/pluvik.png")));
    useProgramFont(window);
}

QLabel* pictureBox(QWidget* parent, const QString& name, const QString& resource, const QRect& geometry) {
    auto* label = placed<QLabel>(parent, name, QString(), geometry);
    label->setPixmap(QPixmap(resource));
    return label;
}

PictureButton::PictureButton(QWidget* parent, const QString& name, const QString& caption, const QIcon& icon,
                             const QRect& geometry)
    : QToolButton(parent), m_caption(caption), m_designIconSize(24, 24) {
    setObjectName(name);
    setText(caption);
    setIcon(icon);
    setIconSize(m_designIconSize);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(true);
    setGeometry(geometry);
}

void PictureButton::resizeEvent(QResizeEvent* event) {
    const QSize room = event->size();
    // The caption alone, without the picture: on one line when it fits, else on two when they do.
    setIconSize(QSize(0, 0));
    setText(m_caption);
    if (sizeHint().width() > room.width()) {
        const qsizetype half = (m_caption.size() + 1) / 2;
        setText(m_caption.left(half) + QLatin1Char('\n') + m_caption.mid(half));
        const QSize twoLines = sizeHint();
        if (twoLines.width() > room.width() || twoLines.height() > room.height()) setText(m_caption);
    }
    // The picture takes the height the caption leaves, up to its design size.
    const QSize caption = sizeHint();
    const int side = std::clamp(std::min(room.height() - caption.height(), room.width() - 4), 0,
                                m_designIconSize.height());
    setIconSize(QSize(side, side));
    QToolButton::resizeEvent(event);
}

QLabel* statusBar1(QWidget* parent, const QRect& geometry, const QString& text) {
    auto* bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setGeometry(geometry);
    auto* label = named<QLabel>(bar, QStringLiteral("StatusBar1Text"), text);
    bar->addWidget(label, 1);
    return label;
}

QTimer* designTimer(QObject* parent, const QString& name, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    return timer;
}

QLabel* textBlock(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* label = placed<QLabel>(parent, name, text, geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void horizontalLine(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(geometry);
}

LinkDialog::LinkDialog(AppContext context, const QString& name, const QString& title, QSize size,
                       QWidget* parent)
    : QDialog(parent), m_ctx(std::move(context)) {
    windowPreamble(this, name, title);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(size);
}

void LinkDialog::openLink(const QString& address) {
    OpenLink(m_ctx, this, address);
}

QComboBox* keywordHistoryBox(QWidget* parent, const QRect& geometry) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("Combo1"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(geometry);
    box->setMaxVisibleItems(20);
    // The keyword is searched exactly as typed: no completion from the history, which would turn
    // a typed "ab" into an earlier "abc" (or an input method's "北京" into "北京大学") on Enter.
    // The earlier keywords stay in the drop-down list.
    box->setCompleter(nullptr);
    return box;
}

KeywordLine keywordLine(QWidget* parent, const QRect& label, const QRect& text, const QRect& button) {
    placed<QLabel>(parent, "Label1", QStringLiteral("请输入关键词："), label);
    auto* text1 = new QLineEdit(parent);
    text1->setObjectName("Text1");
    text1->setGeometry(text);
    auto* command1 = placed<QPushButton>(parent, "Command1", QStringLiteral("搜索"), button);
    command1->setDefault(true);
    return {text1, command1};
}

std::optional<QString> keywordOrRefuse(const QLineEdit* box, Dialogs& dialogs, QWidget* window) {
    QString keyword = box->text();
    if (keyword.isEmpty()) {
        dialogs.inform(window, toQ(kEmptyKeywordMessage));
        return std::nullopt;
    }
    return keyword;
}

bool searchOnEnter(const QKeyEvent* event, const QWidget* window, const std::function<void()>& search) {
    if ((event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) || focusInBrowser(window))
        return false;
    search();
    return true;
}

QButtonGroup* optionGroup(QWidget* window, QWidget* parent, std::span<QRadioButton*> buttons, int checked,
                          const std::function<OptionButton(int)>& describe) {
    auto* group = new QButtonGroup(window);
    group->setExclusive(true);
    for (int i = 0; i < static_cast<int>(buttons.size()); ++i) {
        const OptionButton d = describe(i);
        auto* button = placed<QRadioButton>(parent, d.name, d.caption, d.geometry);
        group->addButton(button, i);
        buttons[static_cast<size_t>(i)] = button;
    }
    buttons[static_cast<size_t>(checked)]->setChecked(true);
    return group;
}

PageLabel pageLabel(const BrowserView& view, const QString& owner, const QString& keyword) {
    return {owner, toQ(proposedPageName(toStd(view.DocumentTitle()), toStd(view.LocationURL()), toStd(owner),
                                        toStd(keyword)))};
}

void execOnPage(BrowserView& view, BrowserCommand command, const QString& owner, const QString& keyword) {
    view.setFocus();
    view.ExecWB(command, pageLabel(view, owner, keyword));
}

void execOnEveryPage(QWidget* window, Dialogs& dialogs, BrowserCommand command, const EveryPage& pages) {
    std::vector<PageOnTab> state;
    for (int i = 0; i < pages.count; ++i) {
        const BrowserView* view = pages.viewAt(i);
        state.push_back({!pages.shownAt || pages.shownAt(i), view->hasPage(), toStd(view->LocationURL())});
    }
    const std::vector<int> results = pagesHoldingResults(state);
    const BulkCommand bulk = command == BrowserCommand::SaveAs ? BulkCommand::Save : BulkCommand::Print;
    if (results.empty()) {
        dialogs.inform(window, toQ(nothingToSaveOrPrint(bulk)));
        return;
    }
    const BulkConfirmation question = bulkConfirmation(bulk, static_cast<int>(results.size()));
    if (!dialogs.confirm(window, toQ(question.title), toQ(question.text))) return;
    std::set<std::string> proposed;
    bool asked = false;
    for (const int i : results) {
        if (!pages.windowAlive()) return;
        BrowserView* view = pages.viewAt(i);
        PageLabel label = pageLabel(*view, pages.ownerAt(i), pages.keyword);
        label.name = toQ(distinctName(toStd(label.name), proposed));
        view->setFocus();
        if (view->ExecWB(command, label) || asked) continue;
        asked = true;
        if (!pages.windowAlive()) return;
        const BulkConfirmation stop = stopTheRestQuestion(bulk, toStd(label.owner));
        if (dialogs.askStop(window, toQ(stop.title), toQ(stop.text))) return;
    }
}

}  // namespace pluvik

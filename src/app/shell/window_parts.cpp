#include "shell/window_parts.h"

#include <QButtonGroup>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/resources.h"
#include "search/search_plan.h"
#include "search/tab_commands.h"
#include "windows/focus_in_browser.h"

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
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(resource));
    label->setGeometry(geometry);
    return label;
}

KeywordLine keywordLine(QWidget* parent, const QRect& label, const QRect& text, const QRect& button) {
    auto* label1 = new QLabel(QStringLiteral("请输入关键词："), parent);
    label1->setObjectName("Label1");
    label1->setGeometry(label);
    auto* text1 = new QLineEdit(parent);
    text1->setObjectName("Text1");
    text1->setGeometry(text);
    auto* command1 = new QPushButton(QStringLiteral("搜索"), parent);
    command1->setObjectName("Command1");
    command1->setGeometry(button);
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

bool isWindowEnter(const QKeyEvent* event, const QWidget* window) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !focusInBrowser(window);
}

QButtonGroup* optionGroup(QWidget* window, QWidget* parent, std::span<QRadioButton*> buttons, int checked,
                          const std::function<OptionButton(int)>& describe) {
    auto* group = new QButtonGroup(window);
    group->setExclusive(true);
    for (int i = 0; i < static_cast<int>(buttons.size()); ++i) {
        const OptionButton d = describe(i);
        auto* button = new QRadioButton(d.caption, parent);
        button->setObjectName(d.name);
        button->setGeometry(d.geometry);
        group->addButton(button, i);
        buttons[static_cast<size_t>(i)] = button;
    }
    buttons[static_cast<size_t>(checked)]->setChecked(true);
    return group;
}

void execOnEveryPage(QWidget* window, Dialogs& dialogs, BrowserCommand command, int count,
                     const std::function<BrowserView*(int)>& viewAt,
                     const std::function<bool()>& windowAlive) {
    const BulkConfirmation question =
        bulkConfirmation(command == BrowserCommand::SaveAs ? BulkCommand::Save : BulkCommand::Print, count);
    if (!dialogs.confirm(window, toQ(question.title), toQ(question.text))) return;
    for (int i = 0; i < count; ++i) {
        if (!windowAlive()) return;
        BrowserView* view = viewAt(i);
        if (!view->hasPage()) continue;  // a browser that never loaded a page has nothing to give
        view->setFocus();
        view->ExecWB(command);  // a refusal skips this page only
    }
}

}  // namespace pluvik

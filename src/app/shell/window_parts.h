#pragma once

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>
#include <QToolButton>
#include <Qt>
#include <functional>
#include <optional>
#include <span>

#include "app_context.h"
#include "platform/browser_view.h"

class QButtonGroup;
class QKeyEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace pluvik {

class Dialogs;

// The program's windows share one look: a 12-pixel font (the size their layouts are made for).
void useProgramFont(QWidget* window);

// How every window of the program starts: its designer name, its title, the program's icon and font.
void windowPreamble(QWidget* window, const QString& name, const QString& title);

// The fixed-size windows: title bar with system menu, minimise and close, but no maximise.
inline constexpr Qt::WindowFlags kFixedWindowFlags = Qt::Window | Qt::WindowTitleHint |
                                                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                                     Qt::WindowCloseButtonHint;

// A picture box: a fixed picture from the program's resources at a fixed place.
QLabel* pictureBox(QWidget* parent, const QString& name, const QString& resource, const QRect& geometry);

// A button with a picture above its caption, at a design place that a proportional layout may scale.
// Below the design size the picture gives way: a caption too wide for the button goes on two lines,
// and the picture shrinks to the room the whole caption leaves.
class PictureButton : public QToolButton {
    Q_OBJECT
public:
    PictureButton(QWidget* parent, const QString& name, const QString& caption, const QIcon& icon,
                  const QRect& geometry);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_caption;
    QSize m_designIconSize;
};

// A control that shows a text (a label, a button), with its designer name.
template <class Control>
Control* named(QWidget* parent, const QString& name, const QString& text) {
    auto* control = new Control(text, parent);
    control->setObjectName(name);
    return control;
}

// The same at its place in a fixed layout.
template <class Control>
Control* placed(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* control = named<Control>(parent, name, text);
    control->setGeometry(geometry);
    return control;
}

// A window's status bar StatusBar1 at its design place, with one text, StatusBar1Text, returned.
QLabel* statusBar1(QWidget* parent, const QRect& geometry, const QString& text = {});

// A timer with its designer name ("Timer1") and interval, not yet started.
QTimer* designTimer(QObject* parent, const QString& name, int intervalMs);

// A block of text that wraps, set from the top left.
QLabel* textBlock(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);

// A sunken horizontal line across part of a window.
void horizontalLine(QWidget* parent, const QString& name, const QRect& geometry);

// The small dialogs that point the user to the maker's pages (About, sponsoring): fixed size,
// modeless, deleted when closed, so the next opening is a fresh one. A page opens by OpenLink with
// the dialog as the owner.
class LinkDialog : public QDialog {
    Q_OBJECT
public:
    LinkDialog(AppContext context, const QString& name, const QString& title, QSize size, QWidget* parent);

protected:
    void openLink(const QString& address);

private:
    AppContext m_ctx;
};

// The keyword line of the small search windows: Label1 "请输入关键词：", the box Text1 and the
// default button Command1 "搜索".
struct KeywordLine {
    QLineEdit* text;
    QPushButton* search;
};
KeywordLine keywordLine(QWidget* parent, const QRect& label, const QRect& text, const QRect& button);

// The main window's keyword box Combo1: typed into, with the earlier keywords in its list.
QComboBox* keywordHistoryBox(QWidget* parent, const QRect& geometry);

// The keyword in `box`; an empty box is refused with the program's message and gives nothing. Blanks
// are a keyword like any other.
std::optional<QString> keywordOrRefuse(const QLineEdit* box, Dialogs& dialogs, QWidget* window);

// The default button of the small search windows, Command1: an Enter that no control of `window`
// took runs `search`. A result page keeps its own Enter. Returns whether the key was used.
bool searchOnEnter(const QKeyEvent* event, const QWidget* window, const std::function<void()>& search);

// One exclusive group of option buttons, button i described by `describe(i)`, filling `buttons`;
// the button `checked` starts selected. The group's ids are the indexes.
struct OptionButton {
    QString caption;
    QString name;
    QRect geometry;
};
QButtonGroup* optionGroup(QWidget* window, QWidget* parent, std::span<QRadioButton*> buttons, int checked,
                          const std::function<OptionButton(int)>& describe);

// What the save and print dialogs say about the page of `view`: `owner` (an engine's or a tab's
// caption) in their caption, and the page's title, or the owner and `keyword`, as the name proposed.
PageLabel pageLabel(const BrowserView& view, const QString& owner, const QString& keyword = {});

// Save or print the page of the current tab, whose browser takes the focus first. A refused command
// (dialog cancelled, nothing loaded) leaves everything as it was.
void execOnPage(BrowserView& view, BrowserCommand command, const QString& owner, const QString& keyword = {});

// Save all or print all: every page that holds a result (pagesHoldingResults: its tab shown, when
// `shownAt` is given, and a page loaded that is not the program's own), in index order, after the
// user agreed for all of them at once. Page i's dialog names `ownerAt(i)`, and no two dialogs of the
// run propose the same name. A cancelled dialog asks once whether to stop the rest (停止 / 继续).
// Each dialog runs its own event loop in which the window may go away: `windowAlive` is asked
// before each page.
struct EveryPage {
    int count = 0;
    std::function<BrowserView*(int)> viewAt;
    std::function<QString(int)> ownerAt;
    std::function<bool(int)> shownAt;
    QString keyword;
    std::function<bool()> windowAlive;
};
void execOnEveryPage(QWidget* window, Dialogs& dialogs, BrowserCommand command, const EveryPage& pages);

}  // namespace pluvik

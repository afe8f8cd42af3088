#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "browse/moveform_adapter.h"
#include "platform/qt_text.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// A recording browser whose save and print go into one log shared by all browsers of a window, so
// the order across browsers shows; `onExec` runs inside the command, where a real dialog would run.
class LoggingBrowser : public FakeBrowserView {
public:
    LoggingBrowser(QStringList* log, std::function<void(LoggingBrowser*)>* onExec, QWidget* parent)
        : FakeBrowserView(parent), m_log(log), m_onExec(onExec) {}
    using FakeBrowserView::ExecWB;
    bool ExecWB(BrowserCommand command, const PageLabel& label) override {
        *m_log << objectName();
        const bool result = FakeBrowserView::ExecWB(command, label);
        if (*m_onExec) (*m_onExec)(this);
        return result;
    }

private:
    QStringList* m_log;
    std::function<void(LoggingBrowser*)>* m_onExec;
};

class LoggingFactory : public BrowserFactory {
public:
    BrowserView* create(QWidget* parent, const QString& objectName) override {
        auto* view = new LoggingBrowser(&log, &onExec, parent);
        view->setObjectName(objectName);
        views.append(view);
        return view;
    }
    QStringList log;
    std::function<void(LoggingBrowser*)> onExec;
    QList<LoggingBrowser*> views;
};

// A window deletes itself when closed, so tests hold it by a guarded pointer.
struct WindowHolder {
    explicit WindowHolder(ProgramServices services) : window(new BrowseWindow(services)) {}
    ~WindowHolder() { delete window.data(); }
    BrowseWindow* operator->() const { return window.data(); }
    QPointer<BrowseWindow> window;
};

FakeBrowserView* fake(BrowseWindow* window, int tab) {
    return static_cast<FakeBrowserView*>(window->browser(tab));
}

QToolButton* command(BrowseWindow* window, int n) {
    return window->findChild<QToolButton*>(QStringLiteral("Command%1").arg(n));
}

QAction* action(BrowseWindow* window, const char* name) {
    return window->findChild<QAction*>(name);
}

// Typing goes to the box, which hands the keys to its line edit, as it does with the real focus.
void pressEnter(BrowseWindow* window, const QString& text) {
    QComboBox* box = window->addressBox();
    box->lineEdit()->clear();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

QStringList listOf(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Settings linksTo(bool sousuo) {
    Settings s;
    s.sousuo = sousuo;
    s.ie = !sousuo;
    return s;
}

}  // namespace

class BrowseWindowTest : public QObject {
    Q_OBJECT
private slots:
    void loadShowsTabZeroAtHome();
    void enterAddsOnceCommand6Never();
    void aLoneVisibleTabStaysOpen();
    void pagesFromPagesFillFurtherTabsUpToTheLimit();
    void aClosedTabIsReusedWithoutReplacingOpenPages();
    void tabsByKeyboardAndMouse();
    void browserEventsActOnTheCurrentTab();
    void clickingATabShowsItsCaptionAndAddress();
    void saveAllAsksFirstAndAddressesEveryBrowserInOrder();
    void printAllCancelIssuesNothing();
    void closingInsideADialogEndsTheLoopAndDeletesTheWindow();
    void aboutShowsTheVersionText();
    void resizingScalesFromTheRecordedLayout();
    void routeNewWindowFollowsTheLiveLinkSetting();
    void windowsKeepTheirOwnAddressLists();
    void theDefaultInstanceIsReusedUntilClosed();
};

void BrowseWindowTest::loadShowsTabZeroAtHome() {
    AppFixture app;
    WindowHolder w(app.services());
    TabStrip* tabs = w->tabs();
    QCOMPARE(w->objectName(), QStringLiteral("搜索浏览"));
    QCOMPARE(w->windowTitle(), QStringLiteral("搜索浏览器"));
    QCOMPARE(tabs->tabCount(), 24);
    QCOMPARE(tabs->tabsPerRow(), 3);
    QCOMPARE(tabs->current(), 0);
    QCOMPARE(tabs->visibleCount(), 1);
    QVERIFY(tabs->isTabVisible(0));
    QCOMPARE(tabs->caption(0), QStringLiteral("Tab 0"));
    QCOMPARE(tabs->caption(23), QStringLiteral("Tab 23"));

    QCOMPARE(fake(w.window, 0)->calls, QStringList{"home"});
    QVERIFY(fake(w.window, 0)->silent);
    for (int i = 1; i < 24; ++i) {
        FakeBrowserView* view = fake(w.window, i);
        QCOMPARE(view->objectName(), QStringLiteral("WebBrowser%1").arg(i));
        QVERIFY2(view->calls.isEmpty(), qPrintable(view->objectName()));
        // Each browser sits on its own tab page.
        QCOMPARE(view->parentWidget(), tabs->page(i));
    }
    QVERIFY(!command(w.window, 7)->isEnabled());
    QCOMPARE(w->addressBox()->currentText(), QStringLiteral("about:home"));
    QCOMPARE(w->addressBox()->count(), 0);

    // The frame, title bar included, covers the work area (the screen above the taskbar).
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    QVERIFY(w->frameGeometry() != w->geometry());  // the platform draws a frame
    QCOMPARE(w->frameGeometry(), w->screen()->availableGeometry());
}

void BrowseWindowTest::enterAddsOnceCommand6Never() {
    AppFixture app;
    WindowHolder w(app.services());
    FakeBrowserView* view = fake(w.window, 0);
    QComboBox* box = w->addressBox();

    pressEnter(w.window, "example.test/a");
    QCOMPARE(box->currentText(), QStringLiteral("http://example.test/a"));
    pressEnter(w.window, "http://example.test/a");
    QCOMPARE(view->navigations.mid(1), (QStringList{"http://example.test/a", "http://example.test/a"}));
    QCOMPARE(listOf(box), QStringList{"http://example.test/a"});

    // Upper case and another scheme get the prefix too; list entries are compared exactly.
    pressEnter(w.window, "HTTP://example.test/a");
    QCOMPARE(view->navigations.last(), QStringLiteral("http://HTTP://example.test/a"));
    QCOMPARE(box->count(), 2);

    box->setEditText(QStringLiteral("https://secure.test"));
    QTest::mouseClick(command(w.window, 6), Qt::LeftButton);
    QCOMPARE(view->navigations.last(), QStringLiteral("http://https://secure.test"));
    QCOMPARE(box->currentText(), QStringLiteral("http://https://secure.test"));
    QCOMPARE(box->count(), 2);

    // Choosing a list entry navigates to it as it stands.
    box->setCurrentIndex(1);
    emit box->activated(1);
    QCOMPARE(view->navigations.last(), QStringLiteral("http://HTTP://example.test/a"));
    QCOMPARE(box->count(), 2);

    // One Enter on a new address, one navigation; leaving the box on a list entry's text, none.
    w->show();
    QApplication::setActiveWindow(w.window);
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    box->setFocus();
    qsizetype before = view->navigations.size();
    pressEnter(w.window, "third.test");
    QCOMPARE(view->navigations.size(), before + 1);
    box->lineEdit()->clear();
    QTest::keyClicks(box, "http://example.test/a");
    command(w.window, 1)->setFocus();
    QVERIFY(!box->lineEdit()->hasFocus());
    QCOMPARE(view->navigations.size(), before + 1);
}

void BrowseWindowTest::aLoneVisibleTabStaysOpen() {
    AppFixture app;
    WindowHolder w(app.services());
    TabStrip* tabs = w->tabs();
    fake(w.window, 0)->requestNewWindow(QUrl("http://popup.test/1"));
    QCOMPARE(tabs->current(), 2);
    QVERIFY(command(w.window, 7)->isEnabled());

    QTest::mouseClick(command(w.window, 7), Qt::LeftButton);
    QCOMPARE(tabs->visibleCount(), 1);
    QCOMPARE(tabs->current(), 0);
    // Closing does not touch Command7; with one tab left it does nothing, and neither do the
    // context menu and a double click.
    QVERIFY(command(w.window, 7)->isEnabled());
    QTest::mouseClick(command(w.window, 7), Qt::LeftButton);
    action(w.window, "guanbi")->trigger();
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(tabs->visibleCount(), 1);
    QVERIFY(tabs->isTabVisible(0));
    QCOMPARE(tabs->current(), 0);

    // With two tabs a double click closes the current one.
    fake(w.window, 0)->requestNewWindow(QUrl("http://popup.test/2"));
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QCOMPARE(tabs->visibleCount(), 1);
    QVERIFY(!tabs->isTabVisible(2));
}

void BrowseWindowTest::pagesFromPagesFillFurtherTabsUpToTheLimit() {
    AppFixture app;
    WindowHolder w(app.services());
    TabStrip* tabs = w->tabs();
    const QMap<int, int> perRow{{2, 3},   {3, 3},   {4, 5},   {5, 5},  {6, 10},
                                {10, 10}, {11, 15}, {15, 15}, {16, 24}};
    for (int tab = 2; tab <= 23; ++tab) {
        const QUrl url(QStringLiteral("http://popup.test/%1").arg(tab));
        // Requests come from whichever tab happens to be current.
        BrowserView* target = fake(w.window, tabs->current())->requestNewWindow(url);
        QCOMPARE(target, w->browser(tab));
        QCOMPARE(fake(w.window, tab)->navigations, QStringList{url.toString()});
        QCOMPARE(tabs->current(), tab);
        QVERIFY(tabs->isTabVisible(tab));
        QVERIFY(fake(w.window, tab)->silent);
        QVERIFY(command(w.window, 7)->isEnabled());
        if (perRow.contains(tab)) QCOMPARE(tabs->tabsPerRow(), perRow[tab]);
    }
    QVERIFY(!tabs->isTabVisible(1));
    QCOMPARE(tabs->visibleCount(), 23);
    QVERIFY(app.messages.empty());

    // The 24th page has no tab left: the message, an empty slot, and no tab changes.
    QCOMPARE(fake(w.window, 23)->requestNewWindow(QUrl("http://popup.test/full")), nullptr);
    QCOMPARE(app.messages.size(), size_t{1});
    QCOMPARE(app.messages[0].text, QStringLiteral("到达最大吞吐量啦！请重新打开本浏览器吧！"));
    QCOMPARE(app.messages[0].buttons, MessageButtons::Ok);
    QCOMPARE(tabs->visibleCount(), 23);
    QCOMPARE(tabs->current(), 23);
    QCOMPARE(fake(w.window, 1)->navigations, QStringList{});
}

void BrowseWindowTest::tabsByKeyboardAndMouse() {
    AppFixture app;
    WindowHolder w(app.services());
    w->show();
    QApplication::setActiveWindow(w.window);
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    fake(w.window, 0)->requestNewWindow(QUrl("http://popup.test/1"));
    fake(w.window, 2)->setTitle(QStringLiteral("第二页"));
    QCOMPARE(w->tabs()->current(), 2);
    w->addressBox()->setFocus();
    QTest::keyClick(w->addressBox(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(w->tabs()->current(), 0);
    QTest::keyClick(w->addressBox(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w->tabs()->current(), 2);
    QCOMPARE(w->windowTitle(), QStringLiteral("第二页"));
    w->tabs()->setFocus();
    QTest::keyClick(w->tabs(), Qt::Key_Menu);
    QVERIFY(w->contextMenu()->isVisible());
    w->contextMenu()->hide();
    // And by the mouse: a right button press on the strip.
    QTest::mousePress(w->tabs(), Qt::RightButton, {}, w->tabs()->tabRect(0).center());
    QVERIFY(w->contextMenu()->isVisible());
    w->contextMenu()->hide();
}

void BrowseWindowTest::aClosedTabIsReusedWithoutReplacingOpenPages() {
    AppFixture app;
    WindowHolder w(app.services());
    TabStrip* tabs = w->tabs();
    for (int i = 0; i < 3; ++i)
        fake(w.window, 0)->requestNewWindow(QUrl(QStringLiteral("http://popup.test/%1").arg(i)));
    QCOMPARE(tabs->model().visibleTabs(), (std::vector<int>{0, 2, 3, 4}));

    tabs->setCurrent(3);
    action(w.window, "guanbi")->trigger();
    QCOMPARE(tabs->current(), 2);

    // The next page goes into the closed tab; tab 4 keeps its page.
    QCOMPARE(fake(w.window, 2)->requestNewWindow(QUrl("http://popup.test/next")), w->browser(3));
    QCOMPARE(fake(w.window, 4)->navigations, QStringList{"http://popup.test/2"});
    QCOMPARE(tabs->current(), 3);
}

void BrowseWindowTest::browserEventsActOnTheCurrentTab() {
    AppFixture app;
    WindowHolder w(app.services());
    fake(w.window, 0)->requestNewWindow(QUrl("http://popup.test/a"));
    fake(w.window, 0)->requestNewWindow(QUrl("http://popup.test/b"));
    QCOMPARE(w->tabs()->current(), 3);
    FakeBrowserView* background = fake(w.window, 2);
    FakeBrowserView* current = fake(w.window, 3);

    emit background->DownloadBegin();
    QCOMPARE(w->statusText(), QStringLiteral("正在下载。。"));
    emit background->DownloadComplete(true);
    QCOMPARE(w->statusText(), QStringLiteral("下载完成"));
    QCOMPARE(w->addressBox()->currentText(), QStringLiteral("http://popup.test/b"));
    w->addressBox()->setEditText("typed");
    emit background->DocumentComplete();
    QCOMPARE(w->statusText(), QStringLiteral("浏览中"));
    QCOMPARE(w->addressBox()->currentText(), QStringLiteral("http://popup.test/b"));

    // A title from a background page shows the current page's title.
    current->title = QStringLiteral("Popup b");
    background->setTitle(QStringLiteral("Popup a"));
    QCOMPARE(w->tabs()->caption(3), QStringLiteral("Popup b"));
    QCOMPARE(w->tabs()->caption(2), QStringLiteral("Tab 2"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Popup b"));

    // Stop writes the page name into the tab and the window caption; the other buttons pass on.
    current->title.clear();
    QTest::mouseClick(command(w.window, 4), Qt::LeftButton);
    QCOMPARE(w->tabs()->caption(3), QStringLiteral("http://popup.test/b"));
    QCOMPARE(w->windowTitle(), QStringLiteral("http://popup.test/b"));
    for (int n : {1, 2, 3, 5}) QTest::mouseClick(command(w.window, n), Qt::LeftButton);
    QCOMPARE(current->calls.mid(1), (QStringList{"stop", "back", "forward", "refresh", "home"}));
    QCOMPARE(background->calls.size(), 1);
}

void BrowseWindowTest::clickingATabShowsItsCaptionAndAddress() {
    AppFixture app;
    WindowHolder w(app.services());
    fake(w.window, 0)->requestNewWindow(QUrl("http://popup.test/a"));
    fake(w.window, 2)->setTitle(QStringLiteral("Popup a"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Popup a"));

    QTest::mouseClick(w->tabs(), Qt::LeftButton, {}, w->tabs()->tabRect(0).center());
    QCOMPARE(w->tabs()->current(), 0);
    QCOMPARE(w->windowTitle(), QStringLiteral("Tab 0"));
    QCOMPARE(w->addressBox()->currentText(), QStringLiteral("about:home"));
    QTest::mouseClick(w->tabs(), Qt::LeftButton, {}, w->tabs()->tabRect(2).center());
    QCOMPARE(w->windowTitle(), QStringLiteral("Popup a"));
    QCOMPARE(w->addressBox()->currentText(), QStringLiteral("http://popup.test/a"));
}

void BrowseWindowTest::saveAllAsksFirstAndAddressesEveryBrowserInOrder() {
    AppFixture app;
    LoggingFactory browsers;
    WindowHolder w(ProgramServices{*app.settings, app.engines, browsers, app.dialogs, app.trace, app.shell,
                                   app.programDir, *app.animation});
    for (int i = 1; i < 24; ++i) {
        if (i != 5) browsers.views[i]->Navigate("http://page.test/" + QString::number(i));
    }
    browsers.views[7]->execResult = false;  // a refusal does not end the loop

    app.dialogs.setTestHook([&](const MessageRequest& request) {
        app.messages.push_back(request);
        return request.buttons == MessageButtons::StopContinue ? MessageAnswer::Cancel : MessageAnswer::Ok;
    });
    action(w.window, "bcall")->trigger();
    // The confirmation counts the loaded pages; the cancelled dialog asks once whether to stop.
    QCOMPARE(app.messages.size(), size_t{2});
    QCOMPARE(app.messages[1].buttons, MessageButtons::StopContinue);
    QCOMPARE(app.messages[0].title, QStringLiteral("保存确认"));
    QCOMPARE(app.messages[0].text,
             QStringLiteral("真的要保存所有结果吗？\r\n这将保存所有23个页面，请三思而后行！"));
    QCOMPARE(app.messages[0].icon, MessageIcon::Question);
    QCOMPARE(app.messages[0].buttons, MessageButtons::OkCancel);
    QStringList expected;
    for (int i = 0; i < 24; ++i) {
        if (i != 5) expected << QStringLiteral("WebBrowser%1").arg(i);  // never loaded: skipped
    }
    QCOMPARE(browsers.log, expected);
    QCOMPARE(browsers.views[23]->calls.last(), QStringLiteral("save"));
    // Nothing changed on the strip.
    QCOMPARE(w->tabs()->visibleCount(), 1);
    QCOMPARE(w->tabs()->current(), 0);

    // The current page alone: no question, just the current browser.
    browsers.log.clear();
    fake(w.window, 0)->requestNewWindow(QUrl("http://popup.test/x"));
    action(w.window, "dayin")->trigger();
    QCOMPARE(browsers.log, QStringList{"WebBrowser2"});
    QCOMPARE(browsers.views[2]->calls.last(), QStringLiteral("print"));
    QCOMPARE(app.messages.size(), size_t{2});
}

void BrowseWindowTest::printAllCancelIssuesNothing() {
    AppFixture app;
    LoggingFactory browsers;
    WindowHolder w(ProgramServices{*app.settings, app.engines, browsers, app.dialogs, app.trace, app.shell,
                                   app.programDir, *app.animation});
    for (LoggingBrowser* view : browsers.views) view->Navigate("http://page.test/");
    app.answerMessages(MessageAnswer::Cancel);
    action(w.window, "dyall")->trigger();
    action(w.window, "baocunall")->trigger();
    QCOMPARE(app.messages.size(), size_t{2});
    QCOMPARE(app.messages[0].title, QStringLiteral("打印确认"));
    QCOMPARE(app.messages[0].text,
             QStringLiteral("真的打印所有结果吗？\r\n这将打印所有24个页面，请三思而后行！"));
    QCOMPARE(browsers.log, QStringList{});
}

void BrowseWindowTest::closingInsideADialogEndsTheLoopAndDeletesTheWindow() {
    AppFixture app;
    LoggingFactory browsers;
    ProgramServices services{*app.settings, app.engines, browsers,       app.dialogs,
                             app.trace,     app.shell,   app.programDir, *app.animation};
    for (int round = 0; round < 2; ++round) {
        browsers.log.clear();
        browsers.views.clear();
        QPointer<BrowseWindow> window = new BrowseWindow(services);
        window->show();
        for (LoggingBrowser* view : browsers.views) view->Navigate("http://page.test/");
        QSignalSpy closing(window.data(), &BrowseWindow::closing);
        if (round == 0) {
            // Closed while the confirmation is up: no page is saved.
            app.dialogs.setTestHook([&](const MessageRequest&) {
                window->close();
                return MessageAnswer::Ok;
            });
        } else {
            // Closed while the fourth page's dialog is up: the loop stops there.
            app.answerMessages(MessageAnswer::Ok);
            browsers.onExec = [&](LoggingBrowser* view) {
                if (view->objectName() == "WebBrowser3") window->close();
            };
        }
        window->findChild<QAction*>("bcall")->trigger();
        browsers.onExec = nullptr;
        QCOMPARE(browsers.log,
                 round == 0 ? QStringList{}
                            : (QStringList{"WebBrowser0", "WebBrowser1", "WebBrowser2", "WebBrowser3"}));
        QCOMPARE(closing.count(), 1);
        QVERIFY(window);
        QVERIFY(!window->isVisible());
        flushDeletes();
        QVERIFY(!window);
    }
}

void BrowseWindowTest::aboutShowsTheVersionText() {
    AppFixture app;
    WindowHolder w(app.services());
    action(w.window, "about")->trigger();
    QCOMPARE(app.messages.size(), size_t{1});
    QCOMPARE(app.messages[0].title, QStringLiteral("Pluvik"));
    QCOMPARE(app.messages[0].text,
             QStringLiteral(
                 "Pluvik，禾朔浏览器的版本为：2.1\r\n本浏览器是禾朔工作室开发的新一代简洁多页面浏览器。"));
    QCOMPARE(app.messages[0].buttons, MessageButtons::Ok);

    // 退出 closes this window only.
    QPointer<BrowseWindow> window = w.window;
    action(w.window, "tuichu")->trigger();
    flushDeletes();
    QVERIFY(!window);
}

void BrowseWindowTest::resizingScalesFromTheRecordedLayout() {
    AppFixture app;
    WindowHolder w(app.services());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    QComboBox* combo = w->addressBox();
    // The design geometry in twips, one blank after each number.
    QCOMPARE(combo->property(kTagProperty).toString(), QStringLiteral("4470 255 8070 330 "));
    const QRect design(298, 17, 538, 22);

    QWidget* area = w->innerArea();
    const QSize frame = w->size() - area->size();
    w->resize(QSize(2 * BrowseWindow::kDesignWidth, 2 * BrowseWindow::kDesignHeight) + frame);
    QCOMPARE(area->size(), QSize(2 * BrowseWindow::kDesignWidth, 2 * BrowseWindow::kDesignHeight));
    const QRect doubled = combo->geometry();
    QCOMPARE(doubled, QRect(2 * design.x(), 2 * design.y(), 2 * design.width(), 2 * design.height()));
    QCOMPARE(w->tabs()->geometry(), QRect(8, 116, 2016, 1208));

    w->resize(QSize(BrowseWindow::kDesignWidth, BrowseWindow::kDesignHeight) + frame);
    QCOMPARE(combo->geometry(), design);
    QCOMPARE(w->tabs()->geometry(), QRect(4, 58, 1008, 604));
    // The browsers fill their page.
    QCOMPARE(w->browser(0)->geometry(), QRect(QPoint(0, 0), w->tabs()->page(0)->size()));

    // Shrunk below the design size (a small screen at a large scale), the picture buttons still
    // show their captions' whole height; the short ones fit in width too.
    w->resize(QSize(BrowseWindow::kDesignWidth * 8 / 10, BrowseWindow::kDesignHeight * 7 / 10) + frame);
    for (int n = 1; n <= 7; ++n) {
        const QToolButton* button = command(w.window, n);
        QVERIFY2(button->height() < 52, qPrintable(button->objectName()));
        const QSize needed = button->sizeHint();
        QVERIFY2(needed.height() <= button->height(), qPrintable(button->objectName()));
        QVERIFY2(n == 7 || needed.width() <= button->width(), qPrintable(button->objectName()));
    }
}

void BrowseWindowTest::routeNewWindowFollowsTheLiveLinkSetting() {
    AppFixture app;
    BrowseWindows& windows = *app.windows;
    bool sousuo = true;
    app.settings->setLiveSource([&] { return linksTo(sousuo); });

    NewWindowSlot first{QUrl("http://popup.test/one"), nullptr};
    BrowseWindow* window = windows.RouteNewWindow(first);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(first.target, window->browser(0));
    NewWindowSlot second{QUrl("http://popup.test/two"), nullptr};
    QVERIFY(windows.RouteNewWindow(second) != window);
    QCOMPARE(windows.windows().size(), 2);

    sousuo = false;
    NewWindowSlot third{QUrl("http://popup.test/three"), nullptr};
    QCOMPARE(windows.RouteNewWindow(third), nullptr);
    QCOMPARE(third.target, nullptr);
    QCOMPARE(windows.windows().size(), 2);

    // Through a browser: the page lands in tab 0 after the home page.
    sousuo = true;
    FakeBrowserView source;
    connect(&source, &BrowserView::NewWindow2, &source,
            [&](NewWindowSlot& slot) { windows.RouteNewWindow(slot); });
    BrowserView* target = source.requestNewWindow(QUrl("http://popup.test/four"));
    QVERIFY(target);
    QCOMPARE(static_cast<FakeBrowserView*>(target)->calls,
             (QStringList{"home", "navigate http://popup.test/four"}));
    QCOMPARE(windows.windows().size(), 3);
    QCOMPARE(windows.windows().last()->tabs()->visibleCount(), 1);
}

void BrowseWindowTest::windowsKeepTheirOwnAddressLists() {
    AppFixture app;
    BrowseWindows windows(app.services());
    BrowseWindow* one = windows.create();
    BrowseWindow* two = windows.create();
    pressEnter(one, "one.test");
    pressEnter(two, "two.test");
    pressEnter(two, "two.test/b");
    QCOMPARE(listOf(one->addressBox()), QStringList{"http://one.test"});
    QCOMPARE(listOf(two->addressBox()), (QStringList{"http://two.test", "http://two.test/b"}));
    fake(one, 0)->requestNewWindow(QUrl("http://popup.test/"));
    QCOMPARE(two->tabs()->visibleCount(), 1);

    // Closing one leaves the other.
    one->close();
    QCOMPARE(windows.windows(), QList<BrowseWindow*>{two});
    flushDeletes();
    QCOMPARE(windows.windows(), QList<BrowseWindow*>{two});
    QVERIFY(two->isVisible());
}

void BrowseWindowTest::theDefaultInstanceIsReusedUntilClosed() {
    AppFixture app;
    BrowseWindows windows(app.services());
    BrowseWindow* first = windows.defaultInstance();
    QVERIFY(first->isVisible());
    first->hide();
    QCOMPARE(windows.defaultInstance(), first);
    QVERIFY(first->isVisible());
    BrowseWindow* routed = windows.create();
    QCOMPARE(windows.windows(), (QList<BrowseWindow*>{first, routed}));

    QPointer<BrowseWindow> closed = first;
    first->close();
    flushDeletes();
    QVERIFY(!closed);
    BrowseWindow* second = windows.defaultInstance();
    QCOMPARE(windows.windows(), (QList<BrowseWindow*>{routed, second}));
    QVERIFY(second->isVisible());
    QCOMPARE(windows.defaultInstance(), second);

    windows.closeAll();
    QVERIFY(windows.windows().isEmpty());
    flushDeletes();
}

QTEST_MAIN(BrowseWindowTest)
#include "tst_browse_window.moc"

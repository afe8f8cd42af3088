#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "search/main_window.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"
#include "support/main_controls.h"

using namespace pluvik;
using namespace pluvik::test;

class MainTabsTest : public QObject {
    Q_OBJECT
private slots:
    void closeWithQuestionNeedsOkAndKeepsTheLastTab();
    void doubleClickClosesWithoutAskingButKeepsTheLastTab();
    void closeOthersLeavesExactlyTheCurrentTab();
    void aRightClickMakesTheTabCurrentBeforeTheMenuActs();
    void captionColourHasOneCheckMark();
    void blankingReachesHiddenTabs();
    void saveAndPrintActOnTheCurrentTabsBrowser();
    void saveAllGoesOverTheResultPagesOnly();
    void saveAllLoadsAPageThatDiedHiddenFirst();
    void dialogsNameTheEngineAndProposeNamesOfTheirOwn();
    void cancelledConfirmationTouchesNothing();
    void theTabStripByKeyboard();
};

static QByteArray enginesOn(std::initializer_list<int> on) {
    QByteArray gn;
    for (int i = 0; i < 21; ++i) gn += std::find(on.begin(), on.end(), i) != on.end() ? " 1 \r\n" : " 0 \r\n";
    return gn + "True\r\nFalse\r\n";
}

static QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(name);
}

void MainTabsTest::closeWithQuestionNeedsOkAndKeepsTheLastTab() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    app.answerMessages(MessageAnswer::Cancel);
    window.findChild<QPushButton*>("Command2")->click();
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(app.messages[0].title, QStringLiteral("关闭选项卡确认"));
    QCOMPARE(app.messages[0].text.count("\r\n"), 4);
    QCOMPARE(app.messages[0].icon, MessageIcon::Question);
    QVERIFY(resultTabs(window)->isTabVisible(0));

    app.answerMessages(MessageAnswer::Ok);
    window.findChild<QPushButton*>("Command2")->click();
    QVERIFY(!resultTabs(window)->isTabVisible(0));
    QCOMPARE(resultTabs(window)->current(), 1);

    AppFixture single;
    single.writeProgramFile("Gn.txt", enginesOn({5}));
    MainWindow only(single.context(), single.stores());
    only.findChild<QPushButton*>("Command2")->click();
    QVERIFY(resultTabs(only)->isTabVisible(5));
    QCOMPARE(single.messages.size(), size_t(1));  // the question, and nothing more
    action(only, "guanbi")->trigger();
    QVERIFY(resultTabs(only)->isTabVisible(5));
}

void MainTabsTest::doubleClickClosesWithoutAskingButKeepsTheLastTab() {
    AppFixture app;
    app.writeProgramFile("Gn.txt", enginesOn({2, 5}));
    MainWindow window(app.context(), app.stores());
    TabStrip* tabs = resultTabs(window);
    tabs->setCurrent(5);
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(5).center());
    QVERIFY(!tabs->isTabVisible(5));
    QCOMPARE(tabs->current(), 2);
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QVERIFY(tabs->isTabVisible(2));
    QCOMPARE(app.messages.size(), size_t(0));
}

void MainTabsTest::closeOthersLeavesExactlyTheCurrentTab() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    resultTabs(window)->setTabVisible(1, false);
    resultTabs(window)->setTabVisible(2, false);
    resultTabs(window)->setCurrent(3);
    action(window, "guanbiqita")->trigger();
    QCOMPARE(resultTabs(window)->visibleCount(), 1);
    QVERIFY(resultTabs(window)->isTabVisible(3));
    QCOMPARE(resultTabs(window)->current(), 3);
}

void MainTabsTest::aRightClickMakesTheTabCurrentBeforeTheMenuActs() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TabStrip* tabs = resultTabs(window);
    tabs->setCurrent(1);  // 谷歌
    QTest::mouseClick(tabs, Qt::RightButton, {}, tabs->tabRect(12).center());  // 博客
    QCOMPARE(tabs->current(), 12);
    QMenu* menu = window.findChild<QMenu*>("youjian");
    QVERIFY(menu->isVisible());
    menu->hide();
    action(window, "guanbiqita")->trigger();
    QCOMPARE(tabs->visibleCount(), 1);
    QVERIFY(tabs->isTabVisible(12));
}

void MainTabsTest::captionColourHasOneCheckMark() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    const QStringList names{"moren", "hong", "huang", "lan", "lv", "cheng"};
    QVERIFY(action(window, "moren")->isChecked());
    action(window, "cheng")->trigger();
    QCOMPARE(resultTabs(window)->captionColor(), QColor(255, 128, 64));
    for (const QString& n : names) QCOMPARE(action(window, qPrintable(n))->isChecked(), n == "cheng");
    action(window, "moren")->trigger();
    QCOMPARE(resultTabs(window)->captionColor(), QColor(0, 0, 0));
    QVERIFY(!action(window, "cheng")->isChecked());
}

void MainTabsTest::blankingReachesHiddenTabs() {
    AppFixture app;
    app.writeProgramFile("Gn.txt", enginesOn({0, 1}));
    MainWindow window(app.context(), app.stores());
    resultTabs(window)->setCurrent(1);
    action(window, "qingping")->trigger();
    QCOMPARE(app.browser("WebBrowser2")->navigations.last(), QStringLiteral("about:blank"));
    QCOMPARE(app.browser("WebBrowser1")->navigations.size(), 1);
    action(window, "qingpingall")->trigger();
    for (int n = 1; n <= 23; ++n)
        QCOMPARE(app.browser(QStringLiteral("WebBrowser%1").arg(n))->navigations.last(),
                 QStringLiteral("about:blank"));
}

void MainTabsTest::saveAndPrintActOnTheCurrentTabsBrowser() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    action(window, "baocunjieguo")->trigger();
    QCOMPARE(app.browser("WebBrowser1")->calls.last(), QStringLiteral("save"));
    resultTabs(window)->setCurrent(20);
    action(window, "mnupoint")->trigger();
    QCOMPARE(app.browser("WebBrowser21")->calls.last(), QStringLiteral("print"));
    // A refused save (the user cancelled the browser's dialog) ends quietly.
    app.browser("WebBrowser21")->execResult = false;
    action(window, "mnubaocunjieguo")->trigger();
    QVERIFY(app.messages.empty());
    QCOMPARE(action(window, "baocunjieguo")->shortcut(), QKeySequence("Ctrl+S"));
    QCOMPARE(action(window, "pointall")->shortcut(), QKeySequence("Ctrl+F12"));
}

void MainTabsTest::saveAllGoesOverTheResultPagesOnly() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    // Before any search every tab shows the start page: nothing to save, nothing asked.
    action(window, "baocunsuoyoujieguo")->trigger();
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(app.messages[0].buttons, MessageButtons::Ok);

    keywordBox(window)->setEditText(QStringLiteral("天气"));
    window.search();
    app.messages.clear();
    for (int n = 1; n <= 23; ++n) {
        FakeBrowserView* view = app.browser(QStringLiteral("WebBrowser%1").arg(n));
        view->execResult = n != 4;  // the user cancels the fourth dialog, and goes on
        view->calls.clear();
    }
    // 停止 / 继续 answered 继续, everything else OK.
    app.dialogs.setTestHook([&](const MessageRequest& request) {
        app.messages.push_back(request);
        return request.buttons == MessageButtons::StopContinue ? MessageAnswer::Cancel : MessageAnswer::Ok;
    });
    action(window, "mnubaocunsuoyoujieguo")->trigger();
    QCOMPARE(app.messages.size(), size_t(2));
    QCOMPARE(app.messages[0].title, QStringLiteral("保存确认"));
    QCOMPARE(app.messages[0].text,
             QStringLiteral("真的要保存所有结果吗？\r\n这将保存所有21个页面，请三思而后行！"));
    QCOMPARE(app.messages[1].buttons, MessageButtons::StopContinue);
    QVERIFY(app.messages[1].text.contains(QStringLiteral("雅虎")));
    // 21 dialogs, each naming its engine; none for the user tabs' start pages.
    for (int n = 1; n <= 23; ++n) {
        FakeBrowserView* view = app.browser(QStringLiteral("WebBrowser%1").arg(n));
        QCOMPARE(view->calls, n <= 21 ? QStringList{"save"} : QStringList{});
        if (n <= 21) QCOMPARE(view->labels.last().owner, resultTabs(window)->caption(n - 1));
    }

    // A cancel, then 停止 (Esc, Enter): nothing more is printed, and nothing more asked.
    app.answerMessages(MessageAnswer::Ok);
    app.messages.clear();
    action(window, "pointall")->trigger();
    QCOMPARE(app.messages.size(), size_t(2));
    QCOMPARE(app.messages[0].title, QStringLiteral("打印确认"));
    QVERIFY(app.messages[0].text.startsWith(QStringLiteral("真的打印所有结果吗？\r\n")));
    QCOMPARE(app.browser("WebBrowser4")->calls.last(), QStringLiteral("print"));
    for (int n = 5; n <= 21; ++n)
        QCOMPARE(app.browser(QStringLiteral("WebBrowser%1").arg(n))->calls.last(), QStringLiteral("save"));
}

void MainTabsTest::saveAllLoadsAPageThatDiedHiddenFirst() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    keywordBox(window)->setEditText(QStringLiteral("天气"));
    window.search();
    FakeBrowserView* dead = app.browser("WebBrowser3");
    dead->deadWhileHidden = true;
    dead->calls.clear();
    app.answerMessages(MessageAnswer::Ok);
    app.messages.clear();
    action(window, "mnubaocunsuoyoujieguo")->trigger();
    // Its page loads first; nothing is asked or saved before it has, and the tray's 搜索 sends no
    // page elsewhere meanwhile.
    QCOMPARE(dead->calls, QStringList{"reload"});
    QVERIFY(app.messages.empty());
    const int loads = app.browser("WebBrowser1")->navigations.size();
    window.findChild<QMenu*>("mnuTray")->findChild<QAction*>("sousuocaidan")->trigger();
    QCOMPARE(app.browser("WebBrowser1")->navigations.size(), loads);
    dead->finishLoad();
    QTRY_VERIFY(!app.messages.empty());
    QCOMPARE(app.messages[0].title, QStringLiteral("保存确认"));
    QCOMPARE(dead->calls.last(), QStringLiteral("save"));
}

void MainTabsTest::dialogsNameTheEngineAndProposeNamesOfTheirOwn() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    keywordBox(window)->setEditText(QStringLiteral("天气预报"));
    // A page whose title is its address (the engine reports one without a title so) is named after the
    // engine and the keyword; a readable title is the name.
    FakeBrowserView* baidu = app.browser("WebBrowser1");
    baidu->location = QStringLiteral("http://www.baidu.com/s?wd=%CC%EC%C6%F8");
    baidu->title = QStringLiteral("www.baidu.com/s?wd=%CC%EC%C6%F8");
    app.browser("WebBrowser2")->title = QStringLiteral("天气预报 - 谷歌搜索");
    action(window, "baocunjieguo")->trigger();
    QCOMPARE(baidu->labels.last().owner, QStringLiteral("百度"));
    QCOMPARE(baidu->labels.last().name, QStringLiteral("百度 天气预报"));

    // Print all: every dialog says whose page it is and proposes a name no earlier one did, though
    // the pages share one title.
    window.search();
    for (int n = 3; n <= 23; ++n) app.browser(QStringLiteral("WebBrowser%1").arg(n))->title = "Pluvik";
    action(window, "pointall")->trigger();
    QStringList names;
    for (int n = 1; n <= 21; ++n) {
        const PageLabel label = app.browser(QStringLiteral("WebBrowser%1").arg(n))->labels.last();
        QCOMPARE(label.owner, resultTabs(window)->caption(n - 1));
        QVERIFY2(!names.contains(label.name), qPrintable(label.name));
        names << label.name;
    }
    QCOMPARE(names.mid(1, 3), (QStringList{"天气预报 - 谷歌搜索", "Pluvik", "Pluvik (2)"}));
}

void MainTabsTest::cancelledConfirmationTouchesNothing() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    app.answerMessages(MessageAnswer::Cancel);
    for (int n = 1; n <= 23; ++n) app.browser(QStringLiteral("WebBrowser%1").arg(n))->calls.clear();
    action(window, "baocunsuoyoujieguo")->trigger();
    action(window, "munpointall")->trigger();
    QCOMPARE(app.messages.size(), size_t(2));
    for (int n = 1; n <= 23; ++n)
        QVERIFY(app.browser(QStringLiteral("WebBrowser%1").arg(n))->calls.isEmpty());
}

void MainTabsTest::theTabStripByKeyboard() {
    AppFixture app;
    app.writeProgramFile("Gn.txt", enginesOn({0, 1, 3, 20}));
    MainWindow window(app.context(), app.stores());
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // From the keyword box, where the focus is after start-up; hidden tabs are passed over.
    QLineEdit* box = keywordBox(window)->lineEdit();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(resultTabs(window)->current(), 1);
    QTest::keyClick(box, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(resultTabs(window)->current(), 3);
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(resultTabs(window)->current(), 1);
    QTest::keyClick(box, Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(resultTabs(window)->current(), 20);

    // Left and Right on the focused strip.
    resultTabs(window)->setFocus();
    QTest::keyClick(resultTabs(window), Qt::Key_Left);
    QCOMPARE(resultTabs(window)->current(), 3);
    QTest::keyClick(resultTabs(window), Qt::Key_Right);
    QCOMPARE(resultTabs(window)->current(), 20);

    // Shift+F10 on the strip opens its menu.
    resultTabs(window)->setFocus();
    QVERIFY(resultTabs(window)->hasFocus());
    QTest::keyClick(resultTabs(window), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(window.findChild<QMenu*>("youjian")->isVisible());
    window.findChild<QMenu*>("youjian")->hide();
}

QTEST_MAIN(MainTabsTest)
#include "tst_main_tabs.moc"

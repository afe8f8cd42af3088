#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <QCheckBox>
#include <QPushButton>

#include "options/options_dialog.h"
#include "platform/qt_text.h"
#include "platform/steady_tick_counter.h"
#include "search/engine_table.h"
#include "search/engine_watch.h"
#include "search/main_window.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"
#include "support/main_controls.h"

using namespace pluvik;
using namespace pluvik::test;

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void emptyKeywordIsRefusedAndNothingElseHappens();
    void searchNavigatesEveryTabAndShowsTheWaitWindow();
    void userEnginesAreSearchedOnlyWhenSwitchedOn();
    void enginesSwitchedOffAreNotSearchedUntilSwitchedOnAgain();
    void withEveryEngineOffASearchLoadsNothingAndDoesNotWait();
    void aScopeSearchesOnlyItsGroupAndIsKeptInItsOwnFile();
    void enterSearchesTheKeywordAsTypedNotAsCompletedFromHistory();
    void pagesOpenedEndsTheWaitAtTheNextTick();
    void stopQuestionOkStopsLoading();
    void stopQuestionCancelKeepsTheWindowDisabled();
    void theWaitWindowStaysInFrontAndItsQuestionGoesWhenThePagesOpen();
    void statusTextFollowsTheLoadsOnlyAfterTheFirstSearch();
    void secondLoadOfTabTwentyUsesTheCurrentText();
    void engineOutcomesMarkTheirTabsAndTheStatusCountsThem();
    void doubleClickNeverClosesTheLastTab();
    void trayHideBlinkAndRestore();
    void withoutTrayMinimisingKeepsTheWindow();
    void exitClosesEveryWindowWithoutAQuestion();
};

static FakeBrowserView* tab(AppFixture& app, int t) {
    return app.browser(QStringLiteral("WebBrowser%1").arg(t + 1));
}

static void typeAndSearch(MainWindow& window, const QString& keyword) {
    keywordBox(window)->setEditText(keyword);
    QTest::keyClick(keywordBox(window)->lineEdit(), Qt::Key_Return);
}

void SearchTest::emptyKeywordIsRefusedAndNothingElseHappens() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    typeAndSearch(window, QString());
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(app.messages[0].text, QStringLiteral("请先输入关键词"));
    QCOMPARE(app.messages[0].icon, MessageIcon::None);
    QVERIFY(!waitWindow()->isVisible());
    QVERIFY(!window.findChild<QTimer*>("Timer2")->isActive());
    QCOMPARE(tab(app, 0)->navigations.size(), 1);  // the start page only
}

void SearchTest::searchNavigatesEveryTabAndShowsTheWaitWindow() {
    AppFixture app;
    QByteArray gn;
    for (int i = 0; i < 21; ++i) gn += (i == 5 ? " 0 \r\n" : " 1 \r\n");
    app.writeProgramFile("Gn.txt", gn + "True\r\nFalse\r\n");
    MainWindow window(app.context(), app.stores());
    window.show();
    typeAndSearch(window, QStringLiteral("你好 a&b"));

    QVERIFY(window.findChild<QTimer*>("Timer2")->isActive());
    QVERIFY(window.findChild<QTimer*>("Timer4")->isActive());
    QVERIFY(waitWindow()->isVisible());
    QVERIFY(!window.isEnabled());
    // The main window owns the wait window, so it never hides it.
    QCOMPARE(waitWindow()->windowHandle()->transientParent(), window.windowHandle());
    QCOMPARE(tab(app, 0)->navigations.last(),
             QStringLiteral("http://www.baidu.com/s?wd=%C4%E3%BA%C3%20a%26b"));
    QCOMPARE(tab(app, 10)->navigations.last(),
             QStringLiteral(
                 "http://wenda.qihoo.com/wenda.php?kw=%C4%E3%BA%C3%20a%26b&do=search&area=2&src=wenda_tab"));
    // The switched-off tab 5 and user tabs are not searched.
    QCOMPARE(tab(app, 5)->navigations.size(), 1);
    for (int t = 0; t <= 20; ++t) QCOMPARE(tab(app, t)->navigations.size(), t == 5 ? 1 : 2);
    QCOMPARE(tab(app, 21)->navigations.size(), 1);
    QCOMPARE(tab(app, 22)->navigations.size(), 1);
    // The search changes neither the selected tab nor the visibility.
    QCOMPARE(resultTabs(window)->current(), 0);
    QVERIFY(!resultTabs(window)->isTabVisible(5));

    QCOMPARE(keywordBox(window)->count(), 1);
    QCOMPARE(keywordBox(window)->currentText(), QStringLiteral("你好 a&b"));
    // The main window takes input again once the pages have opened.
    tab(app, 15)->finishLoad();
    waitWindow()->onTimer1();
    QVERIFY(window.isEnabled());
    // The same keyword again searches again, the list does not grow; case matters.
    window.search();
    QCOMPARE(tab(app, 0)->navigations.size(), 3);
    tab(app, 15)->finishLoad();
    typeAndSearch(window, QStringLiteral("ABC"));
    tab(app, 15)->finishLoad();
    typeAndSearch(window, QStringLiteral("abc"));
    QCOMPARE(keywordBox(window)->count(), 3);
}

void SearchTest::userEnginesAreSearchedOnlyWhenSwitchedOn() {
    AppFixture app;
    app.writeProgramFile("DIY.txt", " 1 \r\n 0 \r\nMine\r\n\r\n\r\nhttp://two/?q=\r\n");
    MainWindow window(app.context(), app.stores());
    typeAndSearch(window, QStringLiteral("kw"));
    // An empty prefix gives the bare keyword.
    QCOMPARE(tab(app, 21)->navigations.last(), QStringLiteral("kw"));
    QCOMPARE(tab(app, 22)->navigations.size(), 1);
}

static QByteArray gnWithOff(std::initializer_list<int> off) {
    QByteArray gn;
    for (int i = 0; i < 21; ++i)
        gn += std::find(off.begin(), off.end(), i) != off.end() ? " 0 \r\n" : " 1 \r\n";
    return gn + "True\r\nFalse\r\n";
}

void SearchTest::enginesSwitchedOffAreNotSearchedUntilSwitchedOnAgain() {
    AppFixture app;
    app.writeProgramFile("Gn.txt", gnWithOff({5, 15}));
    const QByteArray gnBefore = app.readProgramFile("Gn.txt");
    MainWindow window(app.context(), app.stores());
    window.show();
    typeAndSearch(window, QStringLiteral("kw"));
    QCOMPARE(tab(app, 5)->navigations.size(), 1);  // the start page only
    QCOMPARE(tab(app, 4)->navigations.size(), 2);

    // Without tab 15 the pages have opened once every tab the search loaded has ended.
    for (int t = 0; t <= 20; ++t)
        if (t != 5 && t != 15 && t != 9) tab(app, t)->finishLoad();
    tab(app, 15)->finishLoad();
    QVERIFY(!window.isEnabled());
    tab(app, 9)->finishLoad(false);
    QVERIFY(window.isEnabled());
    QCOMPARE(statusText(window), QStringLiteral("已打开"));
    waitWindow()->onTimer1();

    // Switched on again in the options: the tab searches the latest keyword at once.
    window.findChild<QAction*>("xuanxiang")->trigger();
    OptionsDialog* options = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<OptionsDialog*>(w); d && d->isVisible()) options = d;
    QVERIFY(options);
    options->findChild<QCheckBox*>(QString::fromLatin1(EngineTable::slot(5).field))->click();
    QTest::mouseClick(options->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCOMPARE(tab(app, 5)->navigations.size(), 2);
    QCOMPARE(tab(app, 5)->navigations.last(),
             QString::fromStdString(app.context().engines.address(5, "kw").address));
    QCOMPARE(tab(app, 15)->navigations.size(), 1);
    QVERIFY(resultTabs(window)->isTabVisible(5));
    QCOMPARE(app.readProgramFile("Gn.txt").size(), gnBefore.size());
}

void SearchTest::withEveryEngineOffASearchLoadsNothingAndDoesNotWait() {
    AppFixture app;
    QByteArray gn;
    for (int i = 0; i < 21; ++i) gn += " 0 \r\n";
    app.writeProgramFile("Gn.txt", gn + "True\r\nFalse\r\n");
    MainWindow window(app.context(), app.stores());
    window.show();
    typeAndSearch(window, QStringLiteral("kw"));
    for (int t = 0; t < 23; ++t) QCOMPARE(tab(app, t)->navigations.size(), 1);
    QVERIFY(!waitWindow()->isVisible());
    QVERIFY(window.isEnabled());
    QVERIFY(!window.findChild<QTimer*>("Timer4")->isActive());
    QCOMPARE(statusText(window), QStringLiteral("所选的搜索引擎都已关闭，没有打开网页"));
}

void SearchTest::aScopeSearchesOnlyItsGroupAndIsKeptInItsOwnFile() {
    AppFixture app;
    app.writeProgramFile("scope.txt", "问答\n");
    MainWindow window(app.context(), app.stores());
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* scope = window.findChild<QComboBox*>("Scope");
    QCOMPARE(scope->currentText(), QStringLiteral("问答"));
    typeAndSearch(window, QStringLiteral("kw"));
    for (int t = 0; t < 23; ++t) QCOMPARE(tab(app, t)->navigations.size(), t == 10 || t == 14 ? 2 : 1);
    QCOMPARE(resultTabs(window)->current(), 10);
    emit tab(app, 10)->DownloadBegin();  // the group's first tab, not tab 0, says the pages are coming
    QCOMPARE(statusText(window), QStringLiteral("正在打开...."));
    // Tab 15 is not part of it: the group's own loads open the pages.
    tab(app, 14)->finishLoad();
    QVERIFY(!window.isEnabled());
    tab(app, 10)->finishLoad();
    QVERIFY(window.isEnabled());
    waitWindow()->onTimer1();

    // The next scope from the keyword box, which keeps the focus; the choice is written at once.
    QLineEdit* box = keywordBox(window)->lineEdit();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(scope->currentText(), QStringLiteral("购物"));
    QVERIFY(box->hasFocus());
    QCOMPARE(app.readProgramFile("scope.txt"), QByteArray("购物\n"));
}

void SearchTest::enterSearchesTheKeywordAsTypedNotAsCompletedFromHistory() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QLineEdit* box = keywordBox(window)->lineEdit();
    auto searchTyped = [&](const QString& typed) {
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        tab(app, 15)->finishLoad();
        waitWindow()->onTimer1();
    };
    searchTyped(QStringLiteral("abc"));
    // The wait gives the keyword box its focus back, for the next keyword.
    QCOMPARE(window.focusWidget(), keywordBox(window));
    searchTyped(QStringLiteral("ab"));
    QCOMPARE(tab(app, 0)->navigations.last(), QStringLiteral("http://www.baidu.com/s?wd=ab"));

    typeAndSearch(window, QStringLiteral("北京大学"));
    tab(app, 15)->finishLoad();
    waitWindow()->onTimer1();
    box->setFocus();
    box->clear();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("北京"));
    QApplication::sendEvent(box, &commit);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(tab(app, 0)->navigations.last(), QStringLiteral("http://www.baidu.com/s?wd=%B1%B1%BE%A9"));
    // The earlier keywords are still offered in the list.
    QCOMPARE(keywordBox(window)->count(), 4);
}

void SearchTest::pagesOpenedEndsTheWaitAtTheNextTick() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    typeAndSearch(window, QStringLiteral("x"));
    // Other tabs finishing do not end the wait.
    tab(app, 0)->finishLoad();
    QVERIFY(!window.isEnabled());
    tab(app, 15)->finishLoad(false);  // a failed load ends it as well
    QVERIFY(window.isEnabled());
    QCOMPARE(statusText(window), QStringLiteral("已打开"));
    QVERIFY(waitWindow()->isVisible());
    QVERIFY(waitWindow()->timer()->isActive());
    waitWindow()->onTimer1();
    QVERIFY(!waitWindow()->isVisible());
    QVERIFY(!waitWindow()->timer()->isActive());
    QVERIFY(app.messages.empty());
}

void SearchTest::stopQuestionOkStopsLoading() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    typeAndSearch(window, QStringLiteral("x"));
    // Two engines answered before the stop; the others' stopped loads get no outcome.
    tab(app, 0)->endLoad({true, 200, 0, 0, toStd(tab(app, 0)->navigations.last())});
    emit tab(app, 0)->KeywordChecked(true);
    tab(app, 1)->endLoad({false, 404, 7, 404, toStd(tab(app, 1)->navigations.last())});
    waitWindow()->close();
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(app.messages[0].title, QStringLiteral("停止确认"));
    QCOMPARE(app.messages[0].text, QStringLiteral("要停止打开网页吗？"));
    QVERIFY(window.isEnabled());
    QCOMPARE(statusText(window), QStringLiteral("已停止打开"));
    for (int t = 0; t <= 20; ++t) QVERIFY(tab(app, t)->calls.contains("stop"));
    QVERIFY(!tab(app, 21)->calls.contains("stop"));
    QVERIFY(!waitWindow()->isVisible());
    // The engine reports the stopped load as finished: the search stays stopped.
    tab(app, 15)->finishLoad(false);
    QCOMPARE(statusText(window), QStringLiteral("已停止打开"));
    // The count of the engines that answered keeps the stop in view.
    window.onTimer2();
    QCOMPARE(statusText(window), QStringLiteral("已停止打开，2 个引擎中 1 个正常"));
    // A later load of that tab (a click on a link) counts again.
    emit tab(app, 15)->DownloadBegin();
    tab(app, 15)->finishLoad(false);
    QCOMPARE(statusText(window), QStringLiteral("已打开"));
}

void SearchTest::stopQuestionCancelKeepsTheWindowDisabled() {
    AppFixture app;
    app.answerMessages(MessageAnswer::Cancel);
    MainWindow window(app.context(), app.stores());
    window.show();
    typeAndSearch(window, QStringLiteral("x"));
    waitWindow()->close();
    QVERIFY(!waitWindow()->isVisible());
    QVERIFY(!window.isEnabled());
    QVERIFY(!tab(app, 0)->calls.contains("stop"));
    tab(app, 15)->finishLoad();
    QVERIFY(window.isEnabled());
    // Closed after the signal but before the tick: no question.
    typeAndSearch(window, QStringLiteral("y"));
    tab(app, 15)->finishLoad();
    const size_t asked = app.messages.size();
    waitWindow()->close();
    QCOMPARE(app.messages.size(), asked);
    QCOMPARE(statusText(window), QStringLiteral("已打开"));
}

void SearchTest::theWaitWindowStaysInFrontAndItsQuestionGoesWhenThePagesOpen() {
    AppFixture app;
    app.dialogs.setTestHook({});  // the real question box
    MainWindow window(app.context(), app.stores());
    window.show();
    typeAndSearch(window, QStringLiteral("x"));
    // A click on the disabled main window activates it: it hands the activation on, so the close
    // box and Alt+F4 reach the wait window, not the main window (which would end the program).
    QTRY_COMPARE(QApplication::activeWindow(), waitWindow());
    QList<QWindow*> activated;
    connect(qApp, &QGuiApplication::focusWindowChanged, &window, [&](QWindow* w) { activated << w; });
    window.activateWindow();
    QTRY_VERIFY(activated.contains(window.windowHandle()));
    QTRY_COMPARE(QApplication::activeWindow(), waitWindow());

    // The pages open while the stop question is up: it goes by itself, as if answered "Cancel".
    bool dismissed = false;
    QTimer::singleShot(0, &window, [&] {
        QMessageBox* question = waitWindow()->findChild<QMessageBox*>();
        if (!question) return;
        tab(app, 15)->finishLoad();
        dismissed = !question->isVisible();
        if (!dismissed) question->done(QMessageBox::Ok);  // not left hanging
    });
    waitWindow()->close();
    QVERIFY(dismissed);
    QVERIFY(!waitWindow()->isVisible());
    QVERIFY(window.isEnabled());
    QCOMPARE(statusText(window), QStringLiteral("已打开"));
    QVERIFY(!tab(app, 0)->calls.contains("stop"));
}

void SearchTest::statusTextFollowsTheLoadsOnlyAfterTheFirstSearch() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    emit tab(app, 0)->DownloadBegin();
    tab(app, 15)->finishLoad();
    QCOMPARE(statusText(window), QStringLiteral("准备工作"));
    QVERIFY(window.isEnabled());
    typeAndSearch(window, QStringLiteral("x"));
    emit tab(app, 0)->DownloadBegin();
    QCOMPARE(statusText(window), QStringLiteral("正在打开...."));
    emit tab(app, 3)->DownloadBegin();  // only tab 0 reports beginnings
    window.onTimer2();
    QCOMPARE(statusText(window), QStringLiteral("准备工作"));
}

void SearchTest::secondLoadOfTabTwentyUsesTheCurrentText() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    typeAndSearch(window, QStringLiteral("first"));
    keywordBox(window)->setEditText(QStringLiteral("second"));
    window.onTimer4();
    QCOMPARE(tab(app, 20)->navigations.last(), QStringLiteral("http://www.gougou.com/search?search=second"));
    QVERIFY(!window.findChild<QTimer*>("Timer4")->isActive());
}

void SearchTest::engineOutcomesMarkTheirTabsAndTheStatusCountsThem() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    auto* strip = window.findChild<TabStrip*>("SSTab1");
    typeAndSearch(window, QStringLiteral("你好"));
    const auto answer = [&](int t, LoadOutcome load, std::optional<bool> shown) {
        if (load.url.empty()) load.url = toStd(tab(app, t)->navigations.last());
        tab(app, t)->endLoad(load);
        if (shown) emit tab(app, t)->KeywordChecked(*shown);
    };
    // The start page's load, broken off by the search, is not the engine's answer.
    answer(0, {false, 0, 2, -3, {}}, std::nullopt);
    QVERIFY(tab(app, 0)->keywordChecks.isEmpty());
    // Tab 0's question waits while the others load (it lays the page out), here until the deadline.
    answer(0, {true, 200, 0, 0, {}}, std::nullopt);
    for (int t = 6; t < 21; ++t) answer(t, {true, 200, 0, 0, {}}, true);
    QVERIFY(tab(app, 0)->keywordChecks.isEmpty());
    answer(1, {false, 404, 7, 404, {}}, std::nullopt);
    answer(2, {false, 0, 2, -105, {}}, std::nullopt);
    answer(3, {true, 200, 0, 0, "http://www.sogou.com/"}, std::nullopt);
    answer(4, {true, 200, 0, 0, {}}, false);
    QVERIFY(!statusText(window).contains(QStringLiteral("个引擎中")));  // tab 5 has not answered yet
    // Tab 15 gave the pages-opened signal long before: the search's one deadline still comes.
    waitWindow()->checkDeadline(SteadyTickCounter().tickCount() + WaitWindowState::kPagesOpenedDeadlineMs);
    QCOMPARE(tab(app, 0)->keywordChecks, QStringList{QStringLiteral("你好")});
    emit tab(app, 0)->KeywordChecked(true);

    QCOMPARE(statusText(window), QStringLiteral("21 个引擎中 16 个正常"));
    window.onTimer2();
    QCOMPARE(statusText(window), QStringLiteral("21 个引擎中 16 个正常"));
    const QString host = QUrl(tab(app, 2)->navigations.last()).host();
    QCOMPARE(strip->markText(1), QStringLiteral("服务器返回 404"));
    QCOMPARE(strip->markText(2), QStringLiteral("无法连接：找不到主机 ") + host);
    QCOMPARE(strip->markText(3), QStringLiteral("已转到 www.sogou.com"));
    QCOMPARE(strip->markText(4), QStringLiteral("页面中没有关键词"));
    QCOMPARE(strip->markText(5), QStringLiteral("15 秒内未打开"));
    QCOMPARE(strip->markText(0), QString());
    QCOMPARE(strip->caption(1), QStringLiteral("谷歌"));
    QVERIFY(strip->toolTipText(1).endsWith(QStringLiteral("服务器返回 404")));

    // The next search that gives ok takes the mark away; one that fails again keeps it.
    typeAndSearch(window, QStringLiteral("再"));
    answer(1, {true, 200, 0, 0, {}}, true);
    answer(2, {false, 0, 2, -105, {}}, std::nullopt);
    // A question waits a second at most for the others; once the last of them has ended, the
    // questions held go out.
    answer(0, {true, 200, 0, 0, {}}, std::nullopt);
    QCOMPARE(tab(app, 0)->keywordChecks.last(), QStringLiteral("你好"));
    QTRY_COMPARE_WITH_TIMEOUT(tab(app, 0)->keywordChecks.last(), QStringLiteral("再"), 5000);
    for (int t = 3; t < 21; ++t) answer(t, {true, 200, 0, 0, {}}, std::nullopt);
    QCOMPARE(tab(app, 6)->keywordChecks.last(), QStringLiteral("再"));
    QCOMPARE(strip->markText(1), QString());
    QVERIFY(!strip->markText(2).isEmpty());
}

void SearchTest::doubleClickNeverClosesTheLastTab() {
    AppFixture app;
    QByteArray gn;
    for (int i = 0; i < 21; ++i) gn += (i == 7 || i == 9 ? " 1 \r\n" : " 0 \r\n");
    app.writeProgramFile("Gn.txt", gn + "True\r\nFalse\r\n");
    MainWindow window(app.context(), app.stores());
    window.show();
    TabStrip* tabs = resultTabs(window);
    QVERIFY(tabs->setCurrent(9));
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(9).center());
    QVERIFY(!tabs->isTabVisible(9));
    QCOMPARE(tabs->current(), 7);
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(7).center());
    QVERIFY(tabs->isTabVisible(7));
    QCOMPARE(tabs->visibleCount(), 1);
}

void SearchTest::trayHideBlinkAndRestore() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    tray(window)->setAvailableForTest(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    tray(window)->leftClick();
    QVERIFY(!window.isVisible());
    QVERIFY(window.findChild<QTimer*>("Timer3")->isActive());
    QCOMPARE(window.findChild<QSystemTrayIcon*>("TubrTray1")->toolTip(), QStringLiteral("点击恢复窗口"));
    tray(window)->leftClick();  // within the first blink: nothing
    QVERIFY(!window.isVisible());
    tray(window)->blinkTick();
    tray(window)->blinkTick();  // now blank
    QCOMPARE(tray(window)->logic().flashState(), std::string("闪烁"));
    // Right click on a hidden window offers only "显示界面(&V)" of the three.
    tray(window)->rightClick(QPoint(0, 0));
    QVERIFY(!window.findChild<QAction*>("sousuocaidan")->isVisible());
    QVERIFY(!window.findChild<QAction*>("mnuTrayMinimize")->isVisible());
    QVERIFY(window.findChild<QAction*>("mnuTrayRestore")->isVisible());
    window.findChild<QMenu*>("mnuTray")->hide();
    window.findChild<QAction*>("mnuTrayRestore")->trigger();
    QVERIFY(window.isVisible());
    // The menu is the icon's own, and its entries follow the window whoever opens it.
    QCOMPARE(window.findChild<QSystemTrayIcon*>("TubrTray1")->contextMenu(),
             window.findChild<QMenu*>("mnuTray"));
    emit window.findChild<QMenu*>("mnuTray")->aboutToShow();
    QVERIFY(window.findChild<QAction*>("sousuocaidan")->isVisible());
    QVERIFY(window.findChild<QAction*>("mnuTrayMinimize")->isVisible());
    QVERIFY(!window.findChild<QAction*>("mnuTrayRestore")->isVisible());
    QVERIFY(!window.findChild<QTimer*>("Timer3")->isActive());
    QVERIFY(!tray(window)->logic().iconBlank());
    QCOMPARE(window.findChild<QSystemTrayIcon*>("TubrTray1")->toolTip(), QStringLiteral("Pluvik"));
}

void SearchTest::withoutTrayMinimisingKeepsTheWindow() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    tray(window)->setAvailableForTest(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.showMinimized();
    QTest::qWait(20);
    QVERIFY(window.isVisible());
    QVERIFY(!window.findChild<QTimer*>("Timer3")->isActive());
}

void SearchTest::exitClosesEveryWindowWithoutAQuestion() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    QList<QPointer<QWidget>> others;
    for (int i = 0; i < 3; ++i) {
        auto* w = new QWidget;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        others << w;
    }
    typeAndSearch(window, QStringLiteral("x"));
    QVERIFY(waitWindow()->isVisible());
    window.findChild<QAction*>("exit")->trigger();
    QVERIFY(app.messages.empty());
    QVERIFY(!waitWindow()->isVisible());
    QVERIFY(!window.isVisible());
    QVERIFY(!window.findChild<QSystemTrayIcon*>("TubrTray1")->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const auto& w : others) QVERIFY(w.isNull());
    // A timer due after the exit does nothing harmful.
    window.onTimer4();
    window.onTimer2();
}

QTEST_MAIN(SearchTest)
#include "tst_search.moc"

#include <QComboBox>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QtTest>

#include "platform/qt_text.h"
#include "search/main_window.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"
#include "support/main_controls.h"

using namespace pluvik;
using namespace pluvik::test;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void defaultSettingsShowTheBuiltInTabsAndTheStartPage();
    void aSwitchedOffFirstEngineHidesTabZero();
    void aNamedUserEngineGetsItsTab();
    void everythingOffKeepsOneTab();
    void damagedSettingsFilesStartOnDefaults();
    void resultTabsFitTheirRowAndPage();
};

static QByteArray gnFile(const QList<QByteArray>& engines, const QByteArray& sousuo = "True",
                         const QByteArray& ie = "False") {
    QByteArray out;
    for (const QByteArray& e : engines) out += e + "\r\n";
    return out + sousuo + "\r\n" + ie + "\r\n";
}

void MainWindowTest::defaultSettingsShowTheBuiltInTabsAndTheStartPage() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    TabStrip* tabs = resultTabs(window);
    for (int i = 0; i <= 20; ++i) QVERIFY2(tabs->isTabVisible(i), qPrintable(QString::number(i)));
    QVERIFY(!tabs->isTabVisible(21));
    QVERIFY(!tabs->isTabVisible(22));
    QCOMPARE(tabs->current(), 0);
    QCOMPARE(tabs->caption(0), QStringLiteral("百度"));
    QCOMPARE(tabs->caption(17), QStringLiteral("BT种子"));
    QCOMPARE(tabs->caption(20), QStringLiteral("狗狗"));

    const QString startPage = app.programDir + "/Pluvik.htm";
    for (int i = 1; i <= 23; ++i) {
        FakeBrowserView* view = app.browser(QStringLiteral("WebBrowser%1").arg(i));
        QVERIFY(view);
        QCOMPARE(view->navigations, QStringList{startPage});
        QVERIFY(view->silent);
    }
    FakeBrowserView* update = app.browser("WBupdate");
    QCOMPARE(update->navigations.size(), 1);
    QVERIFY(update->navigations[0].endsWith("/6.2.368.htm"));
    QVERIFY(!update->silent);
    QVERIFY(update->isHidden());  // so a crash of its renderer waits for its next navigation

    QCOMPARE(statusText(window), QStringLiteral("准备工作"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Pluvik"));
    QCOMPARE(window.findChild<QSystemTrayIcon*>("TubrTray1")->toolTip(), QStringLiteral("Pluvik"));
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(keywordBox(window)->currentText().isEmpty());

    // Loading created both files with the default bytes.
    QCOMPARE(app.readProgramFile("Gn.txt"), gnFile(QList<QByteArray>(21, " 1 ")));
    QCOMPARE(app.readProgramFile("DIY.txt"), QByteArray(" 0 \r\n 0 \r\n\r\n\r\n\r\n\r\n"));
}

void MainWindowTest::aSwitchedOffFirstEngineHidesTabZero() {
    AppFixture app;
    QList<QByteArray> engines(21, " 1 ");
    engines[0] = " 0 ";
    app.writeProgramFile("Gn.txt", gnFile(engines));
    MainWindow window(app.context(), app.stores());
    QVERIFY(!resultTabs(window)->isTabVisible(0));
    QVERIFY(resultTabs(window)->current() != 0);
    QVERIFY(resultTabs(window)->isTabVisible(resultTabs(window)->current()));
    // A hidden tab still gets its start page.
    QCOMPARE(app.browser("WebBrowser1")->navigations.size(), 1);
}

void MainWindowTest::aNamedUserEngineGetsItsTab() {
    AppFixture app;
    // The file is GBK on disk: 我的搜索.
    app.writeProgramFile(
        "DIY.txt",
        QByteArray(" 1 \r\n 0 \r\n\xCE\xD2\xB5\xC4\xCB\xD1\xCB\xF7\r\n\r\nhttp://s.example/?q=\r\n\r\n"));
    MainWindow window(app.context(), app.stores());
    QVERIFY(resultTabs(window)->isTabVisible(21));
    QCOMPARE(resultTabs(window)->caption(21), QStringLiteral("我的搜索"));
    QVERIFY(!resultTabs(window)->isTabVisible(22));
    QCOMPARE(resultTabs(window)->caption(22), QString());
}

void MainWindowTest::everythingOffKeepsOneTab() {
    AppFixture app;
    app.writeProgramFile("Gn.txt", gnFile(QList<QByteArray>(21, " 0 ")));
    app.writeProgramFile("DIY.txt", " 0 \r\n 0 \r\n\r\n\r\n\r\n\r\n");
    MainWindow window(app.context(), app.stores());
    // The tab the options dialog keeps when every engine is unchecked, without a word this time.
    QCOMPARE(resultTabs(window)->visibleCount(), 1);
    QVERIFY(resultTabs(window)->isTabVisible(20));
    QCOMPARE(resultTabs(window)->current(), 20);
    QVERIFY(app.messages.empty());
}

void MainWindowTest::damagedSettingsFilesStartOnDefaults() {
    AppFixture app;
    // Three lines survived a crash, the last one cut; DIY.txt is binary rubbish.
    app.writeProgramFile("Gn.txt", " 0 \r\n 1 \r\n 0");
    app.writeProgramFile("DIY.txt", QByteArray("\xFF\xFE\x00\x81", 4));
    MainWindow window(app.context(), app.stores());
    QVERIFY(!resultTabs(window)->isTabVisible(0));
    QVERIFY(resultTabs(window)->isTabVisible(1));
    QVERIFY(!resultTabs(window)->isTabVisible(2));
    for (int i = 3; i <= 20; ++i) QVERIFY(resultTabs(window)->isTabVisible(i));
    QVERIFY(!resultTabs(window)->isTabVisible(21));
}

void MainWindowTest::resultTabsFitTheirRowAndPage() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.centralWidget()->size(), QSize(1018, 684));
    QCOMPARE(window.findChild<QWidget*>("WebBrowser1")->size(), QSize(985, 529));
    // All 21 visible tabs fit in one row.
    const QRect first = resultTabs(window)->tabRect(0);
    QVERIFY(!first.isEmpty());
    QCOMPARE(resultTabs(window)->tabRect(20).top(), first.top());
    QVERIFY(resultTabs(window)->tabRect(20).right() <= 1001);
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "platform/qt_text.h"
#include "search/engine_catalogue.h"
#include "search/engine_watch.h"
#include "search/main_window.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"
#include "support/main_controls.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// The columns the page shows.
constexpr int kAddressColumn = 3;
constexpr int kLastColumn = 6;
constexpr int kCountsColumn = 7;

FakeBrowserView* tab(AppFixture& app, int t) {
    return app.browser(QStringLiteral("WebBrowser%1").arg(t + 1));
}

void typeAndSearch(MainWindow& window, const QString& keyword) {
    keywordBox(window)->setEditText(keyword);
    QTest::keyClick(keywordBox(window)->lineEdit(), Qt::Key_Return);
}

// The page as the 搜索 menu opens it.
QWidget* openEnginesPage(MainWindow& window) {
    window.findChild<QAction*>("yinqing")->trigger();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("EnginesWindow") && w->isVisible()) return w;
    return nullptr;
}

}  // namespace

class EnginesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void anEditedAddressIsCheckedUsedAtOnceKeptInTheFileAndPutBack();
    void outcomesSwitchesAndATryOfOneEngine();
    void aSwitchBesideAnOpenOptionsDialogKeepsBothSidesChoices();
};

void EnginesWindowTest::anEditedAddressIsCheckedUsedAtOnceKeptInTheFileAndPutBack() {
    AppFixture app;
    app.writeProgramFile("engines.txt", "# my engines\r\nnot a line\r\n");
    MainWindow window(app.context(), app.stores());
    window.show();
    QWidget* page = openEnginesPage(window);
    QVERIFY(page);
    auto* list = page->findChild<QTableWidget*>("EngineList");
    auto* address = page->findChild<QLineEdit*>("AddressEdit");
    auto* message = page->findChild<QLabel*>("MessageLabel");
    list->setCurrentCell(2, 1);  // sogou, tab 2
    QCOMPARE(list->item(2, 2)->text(), QStringLiteral("sogou"));
    QTest::keyClick(list, Qt::Key_F2);
    QCOMPARE(address->selectedText(), address->text());

    const AddressTemplate builtIn = app.engines.builtIn("sogou");
    QStringList problems;
    for (const char* bad : {"http://sogou.example/web?query=", "http://s.example/{keyword}/{keyword}",
                            "ftp://sogou.example/web?query={keyword}"}) {
        address->setText(QString::fromUtf8(bad));
        QTest::keyClick(address, Qt::Key_Return);
        problems << message->text();
        QVERIFY2(!message->text().isEmpty(), bad);
        QVERIFY(app.engines.current("sogou") == builtIn);
    }
    QCOMPARE(problems.removeDuplicates(), 0);  // each fault told its own way
    QVERIFY(!app.readProgramFile("engines.txt").contains("sogou"));

    address->setText("http://sogou.example/web?q={keyword}&from=me");
    page->findChild<QComboBox*>("EncodingBox")->setCurrentIndex(1);
    QTest::keyClick(address, Qt::Key_Return);
    QCOMPARE(list->item(2, kAddressColumn)->text(),
             QStringLiteral("http://sogou.example/web?q={keyword}&from=me"));
    const QByteArray file = app.readProgramFile("engines.txt");
    QVERIFY(file.startsWith("# my engines\r\nnot a line\r\n"));
    QVERIFY(file.contains("sogou=http://sogou.example/web?q={keyword}&from=me utf-8"));
    typeAndSearch(window, QStringLiteral("内核"));
    QCOMPARE(tab(app, 2)->navigations.last(),
             QStringLiteral("http://sogou.example/web?q=%E5%86%85%E6%A0%B8&from=me"));

    QTest::mouseClick(page->findChild<QPushButton*>("RestoreButton"), Qt::LeftButton);
    QVERIFY(!app.engines.replaced("sogou"));
    QVERIFY(!app.readProgramFile("engines.txt").contains("sogou"));
    QVERIFY(app.readProgramFile("engines.txt.bak").contains("sogou="));
    QVERIFY(!page->findChild<QPushButton*>("RestoreButton")->isEnabled());
}

void EnginesWindowTest::outcomesSwitchesAndATryOfOneEngine() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    QWidget* page = openEnginesPage(window);
    auto* list = page->findChild<QTableWidget*>("EngineList");
    // Switched off and on again, as the options dialog does it: saved, and the tab catches up with
    // the search it missed.
    auto* onOff = page->findChild<QCheckBox*>("SwitchBox");
    list->setCurrentCell(0, 1);
    QVERIFY(onOff->isChecked());
    onOff->click();
    QVERIFY(!resultTabs(window)->isTabVisible(0));
    QVERIFY(app.readProgramFile("Gn.txt").startsWith(" 0 \r\n"));
    QCOMPARE(list->item(0, 5)->text(), QStringLiteral("关"));
    typeAndSearch(window, QStringLiteral("ab"));
    const int loads = tab(app, 0)->navigations.size();
    onOff->click();
    QVERIFY(resultTabs(window)->isTabVisible(0));
    QCOMPARE(tab(app, 0)->navigations.size(), loads + 1);
    QCOMPARE(tab(app, 0)->navigations.last(), toQ(app.engines.address(0, "ab").address));

    // What each engine did, and what comes while the page is open.
    tab(app, 1)->endLoad({false, 404, 7, 404, toStd(tab(app, 1)->navigations.last())});
    QCOMPARE(list->item(1, kLastColumn)->text(), QStringLiteral("服务器错误"));
    QCOMPARE(list->item(1, kCountsColumn)->text(), QStringLiteral("0 / 1"));
    tab(app, 2)->endLoad({true, 200, 0, 0, toStd(tab(app, 2)->navigations.last())});
    emit tab(app, 2)->KeywordChecked(true);
    QCOMPARE(list->item(2, kLastColumn)->text(), QStringLiteral("正常"));

    // A try after the search's deadline is followed to its outcome all the same, with its keyword.
    window.findChild<EngineWatch*>()->deadlinePassed();
    list->setCurrentCell(1, 1);
    keywordBox(window)->setEditText(QStringLiteral("xyz"));
    QTest::mouseClick(page->findChild<QPushButton*>("TryButton"), Qt::LeftButton);
    QCOMPARE(tab(app, 1)->navigations.last(), toQ(app.engines.address(1, "xyz").address));
    QCOMPARE(resultTabs(window)->current(), 1);
    tab(app, 1)->endLoad({true, 200, 0, 0, toStd(tab(app, 1)->navigations.last())});
    QCOMPARE(tab(app, 1)->keywordChecks.value(tab(app, 1)->keywordChecks.size() - 1), QStringLiteral("xyz"));
    emit tab(app, 1)->KeywordChecked(true);
    QCOMPARE(list->item(1, kLastColumn)->text(), QStringLiteral("正常"));
    QCOMPARE(list->item(1, kCountsColumn)->text(), QStringLiteral("1 / 1"));
    // The mini and dual windows' engines are tried in their own windows.
    list->setCurrentCell(EngineTable::kSlotCount, 1);
    QVERIFY(list->item(EngineTable::kSlotCount, 2)->text().startsWith("mini_"));
    QVERIFY(!page->findChild<QPushButton*>("TryButton")->isEnabled());
    QVERIFY(!onOff->isEnabled());
}

void EnginesWindowTest::aSwitchBesideAnOpenOptionsDialogKeepsBothSidesChoices() {
    AppFixture app;
    MainWindow window(app.context(), app.stores());
    window.show();
    window.findChild<QAction*>("xuanxiang")->trigger();
    QWidget* options = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog*>(w) && w->isVisible() && w->findChild<QCheckBox*>("yahoo")) options = w;
    QVERIFY(options);
    options->findChild<QCheckBox*>("google")->click();  // not saved yet
    QWidget* page = openEnginesPage(window);
    page->findChild<QTableWidget*>("EngineList")->setCurrentCell(0, 1);
    page->findChild<QCheckBox*>("SwitchBox")->click();  // 百度 off, saved at once
    // The file has the page's switch and not the dialog's unsaved one; the dialog shows the switch.
    QCOMPARE(app.readProgramFile("Gn.txt").left(10), QByteArray(" 0 \r\n 1 \r\n"));
    QVERIFY(!options->findChild<QCheckBox*>("baidu")->isChecked());
    // Its 确定 then keeps both.
    QTest::mouseClick(options->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCOMPARE(app.readProgramFile("Gn.txt").left(10), QByteArray(" 0 \r\n 0 \r\n"));
}

QTEST_MAIN(EnginesWindowTest)
#include "tst_engines_window.moc"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QtTest>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "options/options_dialog.h"
#include "search/main_window.h"
#include "support/app_fixture.h"
#include "support/main_controls.h"
#include "windows/open_link.h"

using namespace pluvik;
using namespace pluvik::test;

// The main window's commands that reach the program's other windows, with the windows real and
// the browsers recording.
class MainCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void helpOpensANewBrowseWindowEveryTimeAndCtrlWTheDefaultOne();
    void withTheSystemBrowserChosenLinksGoToTheShell();
    void optionsIsOneDialog();
    void resultPagesAskingForAWindowFollowTheLinkSetting();
    void miniModeAndBack();
    void theCleanerEmptiesTheKeywordAndAddressLists();
    void exitClosesSecondaryWindowsAndTheWaitWindow();
    void menuShortcutsComeBeforeTheKeywordBoxKeys();
};

struct Program {
    AppFixture app;
    BrowseWindows* windows = app.windows.get();
    QList<QUrl>& shellOpened = app.shell.opened;
    std::unique_ptr<MainWindow> main;

    explicit Program(const QByteArray& gn = {}) {
        if (!gn.isEmpty()) app.writeProgramFile("Gn.txt", gn);
        main = std::make_unique<MainWindow>(app.context(), app.stores());
    }
    void trigger(const char* name) { main->findChild<QAction*>(name)->trigger(); }
};

static QByteArray linksToSystemBrowser() {
    QByteArray gn;
    for (int i = 0; i < 21; ++i) gn += " 1 \r\n";
    return gn + "False\r\nTrue\r\n";
}

void MainCommandsTest::helpOpensANewBrowseWindowEveryTimeAndCtrlWTheDefaultOne() {
    Program p;
    p.trigger("help");
    p.trigger("help");
    QCOMPARE(p.windows->windows().size(), 2);
    for (BrowseWindow* w : p.windows->windows()) {
        QVERIFY(w->isVisible());
        QVERIFY(w->addressBox()->currentText().endsWith("/help.htm"));
        auto* tab0 = qobject_cast<FakeBrowserView*>(w->browser(0));
        QVERIFY(tab0->navigations.last().endsWith("/help.htm"));
    }
    p.trigger("souwrb");
    QCOMPARE(p.windows->windows().size(), 3);
    p.trigger("soub");  // the default window again, not a fourth
    QCOMPARE(p.windows->windows().size(), 3);
    QVERIFY(p.shellOpened.isEmpty());
}

void MainCommandsTest::withTheSystemBrowserChosenLinksGoToTheShell() {
    Program p(linksToSystemBrowser());
    p.trigger("index");
    QCOMPARE(p.windows->windows().size(), 0);
    QCOMPARE(p.shellOpened.size(), 1);
    p.trigger("BUG");
    QCOMPARE(p.shellOpened.last().scheme(), QStringLiteral("mailto"));
    QVERIFY(p.shellOpened.last().toString().endsWith("?subject=Pluvik BUG"));
}

void MainCommandsTest::optionsIsOneDialog() {
    Program p;
    p.trigger("xuanxiang");
    QList<OptionsDialog*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<OptionsDialog*>(w); d && d->isVisible()) open << d;
    QCOMPARE(open.size(), 1);
    p.trigger("xuanxiangcaidan");
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<OptionsDialog*>(w) && w->isVisible()) ++visible;
    QCOMPARE(visible, 1);
    open[0]->close();
}

void MainCommandsTest::resultPagesAskingForAWindowFollowTheLinkSetting() {
    {
        Program p;
        auto* tab7 = p.app.browser("WebBrowser8");
        BrowserView* target = tab7->requestNewWindow(QUrl("http://popup.test/a"));
        QCOMPARE(p.windows->windows().size(), 1);
        QCOMPARE(target, p.windows->windows()[0]->browser(0));
        tab7->requestNewWindow(QUrl("http://popup.test/b"));
        QCOMPARE(p.windows->windows().size(), 2);  // never reused
    }
    {
        Program p(linksToSystemBrowser());
        QVERIFY(p.app.browser("WebBrowser1")->requestNewWindow(QUrl("http://popup.test/a")) == nullptr);
        QCOMPARE(p.windows->windows().size(), 0);
    }
}

void MainCommandsTest::miniModeAndBack() {
    Program p;
    tray(*p.main)->setAvailableForTest(true);
    p.main->show();
    p.trigger("mini");
    QVERIFY(!p.main->isVisible());
    QVERIFY(!tray(*p.main)->logic().iconPresent());
    QWidget* mini = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Miniform") mini = w;
    QVERIFY(mini && mini->isVisible());
    mini->findChild<QAction*>("big")->trigger();
    QVERIFY(p.main->isVisible());
    QVERIFY(!mini->isVisible());
    QVERIFY(tray(*p.main)->logic().iconPresent());
    QCOMPARE(p.main->findChild<QSystemTrayIcon*>("TubrTray1")->toolTip(), QStringLiteral("Pluvik"));
}

void MainCommandsTest::theCleanerEmptiesTheKeywordAndAddressLists() {
    Program p;
    keywordBox(*p.main)->setEditText("kw");
    p.main->search();
    p.app.browser("WebBrowser16")->finishLoad();
    p.trigger("souwrb");
    BrowseWindow* browse = p.windows->openDefaultInstance();
    browse->addressBox()->setEditText("example.com");
    QTest::keyClick(browse->addressBox(), Qt::Key_Return);
    QCOMPARE(browse->addressBox()->count(), 1);

    p.trigger("delete");
    QWidget* cleaner = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "DelSearch" && w->isVisible()) cleaner = w;
    QVERIFY(cleaner);
    cleaner->findChild<QPushButton*>("Command3")->click();
    QCOMPARE(keywordBox(*p.main)->count(), 0);
    cleaner->findChild<QPushButton*>("Command5")->click();
    QCOMPARE(browse->addressBox()->count(), 0);
    p.trigger("godelete");  // the same dialog again
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        open += w->objectName() == "DelSearch" && w->isVisible();
    QCOMPARE(open, 1);

    // The keyword history went with the list: the same keyword is new again.
    waitWindow()->close();
    keywordBox(*p.main)->setEditText("kw");
    p.main->search();
    QCOMPARE(keywordBox(*p.main)->count(), 1);
}

void MainCommandsTest::exitClosesSecondaryWindowsAndTheWaitWindow() {
    Program p;
    p.main->show();
    for (int i = 0; i < 3; ++i) p.trigger("help");
    keywordBox(*p.main)->setEditText("x");
    p.main->search();
    QVERIFY(waitWindow()->isVisible());
    p.trigger("exit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(p.windows->windows().size(), 0);
    QVERIFY(!waitWindow()->isVisible());
    QVERIFY(p.app.messages.empty());
}

static bool openWindowNamed(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return true;
    return false;
}

void MainCommandsTest::menuShortcutsComeBeforeTheKeywordBoxKeys() {
    Program p;
    p.main->show();
    QApplication::setActiveWindow(p.main.get());
    QVERIFY(QTest::qWaitForWindowActive(p.main.get()));
    QLineEdit* box = keywordBox(*p.main)->lineEdit();
    box->setFocus();
    QTest::keyClicks(box, "abc");
    // Each command opens a window that takes the focus; the keys are pressed in the main window.
    auto press = [&](Qt::Key key) {
        QApplication::setActiveWindow(p.main.get());
        box->setFocus();
        QTest::keyClick(box, key, Qt::ControlModifier);
    };
    press(Qt::Key_X);
    QVERIFY(openWindowNamed("frmOptions"));
    press(Qt::Key_Z);
    QVERIFY(openWindowNamed("giveus"));
    press(Qt::Key_A);
    QVERIFY(openWindowNamed("frmAbout"));
    // Neither cut nor undo reached the box.
    QCOMPARE(box->text(), QStringLiteral("abc"));
}

QTEST_MAIN(MainCommandsTest)
#include "tst_main_commands.moc"

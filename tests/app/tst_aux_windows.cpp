#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "browse/browse_window.h"
#include "browse/browse_windows.h"
#include "platform/qt_text.h"
#include "search/engine_watch.h"
#include "search/service_hosts.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"
#include "windows/about_dialog.h"
#include "windows/dual_window.h"
#include "windows/link_label.h"
#include "windows/mini_window.h"
#include "windows/open_link.h"
#include "windows/open_link_decision.h"
#include "windows/ranking_window.h"
#include "windows/sponsor_dialog.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

FakeBrowserView* fake(BrowserView* view) {
    return qobject_cast<FakeBrowserView*>(view);
}

// A window's browser and keyword box, by their designer names.
FakeBrowserView* browserOf(const QWidget& window, const char* name = "WebBrowser1") {
    return window.findChild<FakeBrowserView*>(name);
}

QLineEdit* keywordBoxOf(const QWidget& window) {
    return window.findChild<QLineEdit*>("Text1");
}

QString host(Service s) {
    return toQ(serviceAddress(s));
}

// A program context whose links go to the system browser (the options' "IE浏览器").
void linksToSystemBrowser(AppFixture& app) {
    app.settings->setLiveSource([] {
        Settings s;
        s.sousuo = false;
        s.ie = true;
        return s;
    });
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class AuxWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void miniRefusesAnEmptyKeywordAndSearchesBlanks();
    void miniSearchesTheChosenEngineOnEnterAndButton();
    void miniRoundTripKeepsKeywordEngineAndPage();
    void miniStatusFollowsTheBrowser();
    void miniCommand2AndCloseBoxEndTheProgram();
    void miniNewWindowFollowsTheLinkSetting();
    void miniAndDualSearchesGiveTheirEnginesOutcomes();

    void rankingOpensOnBaiduAndEntersTheMusicChart();
    void rankingScalesItsControls();
    void rankingReopensOnTheFirstList();

    void dualStartsOnHomePagesAndRefusesAnEmptyKeyword();
    void dualSearchesBothEnginesOfThePair();

    void aboutLinksLookLikeLinks();
    void aboutClosesOnEscAndOnEnter();
    void aboutLinkOpensANewBrowseWindowEveryClick();
    void aboutLinkGoesToTheShellWithItOff();
    void sponsorButtonsOpenTheirPages();
    void bugReportAndNonWebAddressesAtTheShell();

    void windowsOpenWhollyInsideTheWorkArea();
};

void AuxWindowsTest::miniRefusesAnEmptyKeywordAndSearchesBlanks() {
    AppFixture app;
    MiniWindow mini(app.context(), [] {});
    FakeBrowserView* view = browserOf(mini);
    QVERIFY(view);
    QVERIFY(!view->hasPage());  // no page at load
    QCOMPARE(mini.windowTitle(), QStringLiteral("Mini Pluvik"));
    QCOMPARE(mini.centralWidget()->size(), QSize(544, 334));

    QLineEdit* box = keywordBoxOf(mini);
    auto* command1 = mini.findChild<QPushButton*>("Command1");
    box->setText("abc");
    QTest::mouseClick(command1, Qt::LeftButton);
    QCOMPARE(view->navigations.size(), 1);

    box->clear();
    QTest::mouseClick(command1, Qt::LeftButton);
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(app.messages[0].text, QStringLiteral("请先输入关键词"));
    QCOMPARE(app.messages[0].title, QStringLiteral("Pluvik"));
    QCOMPARE(app.messages[0].icon, MessageIcon::None);
    QCOMPARE(app.messages[0].buttons, MessageButtons::Ok);
    QCOMPARE(view->navigations.size(), 1);

    box->setText("  ");
    QTest::mouseClick(command1, Qt::LeftButton);
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(view->navigations.last(), host(Service::BaiduWeb) + "/s?wd=%20%20");
}

void AuxWindowsTest::miniSearchesTheChosenEngineOnEnterAndButton() {
    AppFixture app;
    MiniWindow mini(app.context(), [] {});
    mini.show();
    FakeBrowserView* view = browserOf(mini);
    QLineEdit* box = keywordBoxOf(mini);
    QVERIFY(mini.findChild<QRadioButton*>("baidu")->isChecked());

    box->setText(QStringLiteral("中文"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(view->navigations, QStringList{host(Service::BaiduWeb) + "/s?wd=%D6%D0%CE%C4"});

    QTest::mouseClick(mini.findChild<QRadioButton*>("bbs"), Qt::LeftButton);
    QVERIFY(!mini.findChild<QRadioButton*>("baidu")->isChecked());
    box->setText("a&b");
    QTest::mouseClick(mini.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(view->navigations.last(),
             host(Service::QihooWenda) + "/wenda.php?kw=a%26b&do=search&area=2&src=wenda_tab");

    mini.findChild<QRadioButton*>("google")->setChecked(true);
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(view->navigations.last(), host(Service::GoogleChinaWeb) + "/search?hl=zh-CN&q=a%26b");
    QCOMPARE(view->navigations.size(), 3);
    // Command1 is the default button: Enter right after clicking an engine searches too.
    auto* youdao = mini.findChild<QRadioButton*>("youdao");
    QTest::mouseClick(youdao, Qt::LeftButton);
    youdao->setFocus();
    QTest::keyClick(youdao, Qt::Key_Return);
    QCOMPARE(view->navigations.last(), host(Service::YoudaoWeb) + "/search?q=a%26b");
}

void AuxWindowsTest::miniRoundTripKeepsKeywordEngineAndPage() {
    AppFixture app;
    int backCalls = 0;
    bool hiddenWhenCalledBack = false;
    MiniWindow* miniPtr = nullptr;
    MiniWindow mini(app.context(), [&] {
        ++backCalls;
        hiddenWhenCalledBack = !miniPtr->isVisible();
    });
    miniPtr = &mini;
    mini.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mini));
    keywordBoxOf(mini)->setText("round trip");
    mini.findChild<QRadioButton*>("taobao")->setChecked(true);
    QTest::mouseClick(mini.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    const QStringList pages = browserOf(mini)->navigations;
    QCOMPARE(pages.size(), 1);

    QAction* big = mini.findChild<QAction*>("big");
    QVERIFY(big);
    big->trigger();
    QCOMPARE(backCalls, 1);
    QVERIFY(hiddenWhenCalledBack);
    QVERIFY(!mini.isVisible());

    mini.show();
    QCOMPARE(keywordBoxOf(mini)->text(), QStringLiteral("round trip"));
    QVERIFY(mini.findChild<QRadioButton*>("taobao")->isChecked());
    QCOMPARE(browserOf(mini)->navigations, pages);

    // The window's own "Mini模式" does nothing and stays checked.
    QAction* miniAction = mini.findChild<QAction*>("mini");
    miniAction->trigger();
    QVERIFY(miniAction->isChecked());
    QVERIFY(mini.isVisible());
    QCOMPARE(backCalls, 1);
}

void AuxWindowsTest::miniStatusFollowsTheBrowser() {
    AppFixture app;
    MiniWindow mini(app.context(), [] {});
    FakeBrowserView* view = browserOf(mini);
    const QLabel* status = mini.findChild<QLabel*>("StatusBar1Text");
    emit view->DownloadBegin();
    QCOMPARE(status->text(), QStringLiteral("正在打开...."));
    view->finishLoad(false);
    QCOMPARE(status->text(), QStringLiteral("已打开"));
}

void AuxWindowsTest::miniCommand2AndCloseBoxEndTheProgram() {
    AppFixture app;
    int exits = 0;
    int backs = 0;
    MiniWindow mini(
        app.context(), [&] { ++backs; }, [&] { ++exits; });
    mini.show();
    QTest::mouseClick(mini.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    QCOMPARE(exits, 1);
    mini.show();
    QVERIFY(mini.close());
    QCOMPARE(exits, 2);
    QCOMPARE(backs, 0);
}

void AuxWindowsTest::miniNewWindowFollowsTheLinkSetting() {
    AppFixture app;
    AppContext ctx = app.context();
    BrowseWindows& windows = *app.windows;
    MiniWindow mini(ctx, [] {});

    BrowserView* target = browserOf(mini)->requestNewWindow(QUrl("http://example.org/popup"));
    QCOMPARE(windows.windows().size(), 1);
    QCOMPARE(target, windows.windows().first()->browser(0));

    linksToSystemBrowser(app);
    QCOMPARE(browserOf(mini)->requestNewWindow(QUrl("http://example.org/popup2")), nullptr);
    QCOMPARE(windows.windows().size(), 1);
    windows.closeAll();
}

void AuxWindowsTest::rankingOpensOnBaiduAndEntersTheMusicChart() {
    AppFixture app;
    auto* ranking = new RankingWindow(app.context());
    QPointer<RankingWindow> guard(ranking);
    ranking->show();
    FakeBrowserView* view = browserOf(*ranking);
    QCOMPARE(view->navigations, QStringList{host(Service::BaiduHotList) + "/"});
    QVERIFY(view->silent);
    QVERIFY(ranking->findChild<QRadioButton*>(QStringLiteral("百度风云榜"))->isChecked());

    QTest::mouseClick(ranking->findChild<QRadioButton*>(QStringLiteral("音乐排行榜")), Qt::LeftButton);
    view->silent = false;
    QTest::mouseClick(ranking->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(view->navigations.size(), 2);
    QCOMPARE(view->navigations.last(), host(Service::HaotingMusic) + "/paihang.htm");
    QVERIFY(view->silent);
    view->setTitle(QStringLiteral("音乐排行"));
    QCOMPARE(ranking->windowTitle(), QStringLiteral("搜索排行榜"));

    ranking->findChild<QRadioButton*>(QStringLiteral("谷歌热榜"))->setChecked(true);
    QTest::mouseClick(ranking->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(view->navigations.last(), host(Service::GoogleChinaHome) + "/rebang/home");
    ranking->close();
}

void AuxWindowsTest::rankingScalesItsControls() {
    AppFixture app;
    RankingWindow ranking(app.context());
    ranking.setAttribute(Qt::WA_DeleteOnClose, false);
    ranking.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ranking));
    ranking.resize(RankingWindow::kDesignSize);
    QWidget* command1 = ranking.findChild<QPushButton*>("Command1");
    QWidget* browser = browserOf(ranking);
    const QRect design = command1->geometry();
    const QRect browserDesign = browser->geometry();

    ranking.resize(RankingWindow::kDesignSize * 2);
    QTRY_COMPARE(ranking.size(), RankingWindow::kDesignSize * 2);
    QCOMPARE(command1->geometry(), QRect(design.topLeft() * 2, design.size() * 2));
    QCOMPARE(browser->geometry(), QRect(browserDesign.topLeft() * 2, browserDesign.size() * 2));

    ranking.resize(RankingWindow::kDesignSize);
    QTRY_COMPARE(command1->geometry(), design);
}

void AuxWindowsTest::rankingReopensOnTheFirstList() {
    AppFixture app;
    QPointer<RankingWindow> first = new RankingWindow(app.context());
    first->show();
    first->findChild<QRadioButton*>(QStringLiteral("视频排行榜"))->setChecked(true);
    QTest::mouseClick(first->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(browserOf(*first)->navigations.last(), host(Service::YoukuVideoSearch) + "/search_top/");
    first->close();
    flushDeletes();
    QVERIFY(first.isNull());

    auto* second = new RankingWindow(app.context());
    second->show();
    QVERIFY(second->findChild<QRadioButton*>(QStringLiteral("百度风云榜"))->isChecked());
    QCOMPARE(browserOf(*second)->navigations, QStringList{host(Service::BaiduHotList) + "/"});
    second->close();
}

void AuxWindowsTest::dualStartsOnHomePagesAndRefusesAnEmptyKeyword() {
    AppFixture app;
    DualWindow dual(app.context());
    dual.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(dual.windowTitle(), QStringLiteral("双屏搜索"));
    FakeBrowserView* left = browserOf(dual, "WebBrowser1");
    FakeBrowserView* right = browserOf(dual, "WebBrowser2");
    QCOMPARE(left->navigations, QStringList{host(Service::BaiduWeb) + "/"});
    QCOMPARE(right->navigations, QStringList{host(Service::GoogleChinaHome) + "/"});
    QVERIFY(left->silent && right->silent);
    QVERIFY(dual.findChild<QRadioButton*>("Option1")->isChecked());

    dual.show();
    QTest::keyClick(keywordBoxOf(dual), Qt::Key_Return);
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(app.messages[0].text, QStringLiteral("请先输入关键词"));
    QCOMPARE(app.messages[0].title, QStringLiteral("Pluvik"));
    QCOMPARE(app.messages[0].icon, MessageIcon::None);
    QCOMPARE(left->navigations.size(), 1);
    QCOMPARE(right->navigations.size(), 1);
}

void AuxWindowsTest::dualSearchesBothEnginesOfThePair() {
    AppFixture app;
    AppContext ctx = app.context();
    BrowseWindows& windows = *app.windows;
    DualWindow dual(ctx);
    dual.setAttribute(Qt::WA_DeleteOnClose, false);
    dual.show();
    FakeBrowserView* left = browserOf(dual, "WebBrowser1");
    FakeBrowserView* right = browserOf(dual, "WebBrowser2");
    QLineEdit* box = keywordBoxOf(dual);

    QTest::mouseClick(dual.findChild<QRadioButton*>("Option4"), Qt::LeftButton);
    QTest::keyClicks(box, "abc");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(left->navigations.last(), host(Service::Yisou) + "/search:abc");
    QCOMPARE(right->navigations.last(), host(Service::Zhongsou) + "/p?dt=1&pt=1&w=abc");

    dual.findChild<QRadioButton*>("Option2")->setChecked(true);
    box->setText("x&y");
    QTest::mouseClick(dual.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(left->navigations.last(), host(Service::YahooChina) + "/s?p=x%26y");
    QCOMPARE(right->navigations.last(), host(Service::SosoWeb) + "/q?pid=s.idx&w=x%26y");
    // Enter right after clicking a pair searches it: Command1 is the default button.
    auto* option3 = dual.findChild<QRadioButton*>("Option3");
    QTest::mouseClick(option3, Qt::LeftButton);
    option3->setFocus();
    QTest::keyClick(option3, Qt::Key_Return);
    QCOMPARE(left->navigations.last(), host(Service::YoudaoWeb) + "/search?q=x%26y");
    QVERIFY(app.messages.empty());

    // Pages of either side that ask for a window get one of the program's own.
    QVERIFY(right->requestNewWindow(QUrl("http://example.org/r")));
    QVERIFY(left->requestNewWindow(QUrl("http://example.org/l")));
    QCOMPARE(windows.windows().size(), 2);
    windows.closeAll();
}

void AuxWindowsTest::windowsOpenWhollyInsideTheWorkArea() {
    AppFixture app;
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    // Put where it would stick out below and to the right: it moves in, frame and all.
    QPointer<AboutDialog> about = new AboutDialog(app.context());
    about->move(work.right() - 40, work.bottom() - 40);
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about.data()));
    QTRY_VERIFY(work.contains(about->frameGeometry()));
    QVERIFY(about->frameGeometry() != about->geometry());  // with the frame the platform draws
    // Wider than the screen: the left edge, with the system menu, stays on it; the height fits.
    QPointer<DualWindow> dual = new DualWindow(app.context());
    QVERIFY(dual->width() > work.width() && dual->height() < work.height());
    dual->show();
    QVERIFY(QTest::qWaitForWindowExposed(dual.data()));
    QTRY_COMPARE(dual->frameGeometry().left(), work.left());
    QVERIFY(dual->frameGeometry().top() >= work.top() && dual->frameGeometry().bottom() <= work.bottom());
    about->close();
    dual->close();
    flushDeletes();
}

void AuxWindowsTest::aboutLinksLookLikeLinks() {
    AppFixture app;
    AboutDialog about(app.context());
    const QList<LinkLabel*> links = about.findChildren<LinkLabel*>();
    QCOMPARE(links.size(), 4);
    for (LinkLabel* link : links) {
        QCOMPARE(QUrl(link->text()).scheme(), QStringLiteral("http"));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    QVERIFY(about.findChild<QPushButton*>("cmdOK")->isDefault());
}

void AuxWindowsTest::aboutClosesOnEscAndOnEnter() {
    AppFixture app;
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QPointer<AboutDialog> about = new AboutDialog(app.context());
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about.data()));
        QTest::keyClick(about.data(), key);
        flushDeletes();
        QVERIFY2(about.isNull(), key == Qt::Key_Escape ? "Esc" : "Enter");
    }
    QVERIFY(app.shell.opened.isEmpty());
}

void AuxWindowsTest::aboutLinkOpensANewBrowseWindowEveryClick() {
    AppFixture app;
    AppContext ctx = app.context();
    BrowseWindows& windows = *app.windows;
    AboutDialog about(ctx);
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    about.show();

    const QString help = toQ(makerAddress(MakerPage::ProductHome));
    QTest::mouseClick(about.findChild<LinkLabel*>("Label11"), Qt::LeftButton);
    QTest::mouseClick(about.findChild<LinkLabel*>("Label11"), Qt::LeftButton);
    QCOMPARE(windows.windows().size(), 2);
    for (BrowseWindow* window : windows.windows()) {
        QVERIFY(window->isVisible());
        QCOMPARE(window->addressBox()->currentText(), help);
        QCOMPARE(fake(window->currentBrowser())->navigations.last(), help);
        QCOMPARE(window->tabs()->current(), 0);
    }
    QVERIFY(app.shell.opened.isEmpty());
    windows.closeAll();
}

void AuxWindowsTest::aboutLinkGoesToTheShellWithItOff() {
    AppFixture app;
    linksToSystemBrowser(app);
    AppContext ctx = app.context();
    BrowseWindows& windows = *app.windows;
    AboutDialog about(ctx);
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    about.show();

    QTest::mouseClick(about.findChild<LinkLabel*>("Label4"), Qt::LeftButton);
    QTest::mouseClick(about.findChild<LinkLabel*>("Label7"), Qt::RightButton);  // not a click on a link
    QCOMPARE(app.shell.opened, QList<QUrl>{QUrl(toQ(makerAddress(MakerPage::MakerHome)))});
    QCOMPARE(app.shell.owners, QList<QWidget*>{&about});
    QVERIFY(windows.windows().isEmpty());
}

void AuxWindowsTest::sponsorButtonsOpenTheirPages() {
    AppFixture app;
    linksToSystemBrowser(app);
    SponsorDialog giveus(app.context());
    giveus.setAttribute(Qt::WA_DeleteOnClose, false);
    giveus.show();
    QTest::mouseClick(giveus.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QTest::mouseClick(giveus.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    QCOMPARE(app.shell.opened,
             (QList<QUrl>{QUrl(host(Service::SponsorPage)), QUrl(host(Service::SponsorGames))}));
    QCOMPARE(app.shell.owners, (QList<QWidget*>{&giveus, &giveus}));
}

void AuxWindowsTest::bugReportAndNonWebAddressesAtTheShell() {
    AppFixture app;  // links set to the program's own browser: the mail still goes to the shell
    AppContext ctx = app.context();
    BrowseWindows& windows = *app.windows;
    QWidget owner;
    OpenBugReport(app.shell, &owner);
    QCOMPARE(app.shell.opened.size(), 1);
    QCOMPARE(app.shell.opened[0].scheme(), QStringLiteral("mailto"));
    QCOMPARE(app.shell.opened[0].path(), host(Service::BugMail));
    QCOMPARE(app.shell.opened[0].query(QUrl::FullyDecoded), QStringLiteral("subject=Pluvik BUG"));
    QCOMPARE(app.shell.owners[0], &owner);
    QVERIFY(windows.windows().isEmpty());

    for (const QString& address : {QStringLiteral("file:///etc/passwd"), QStringLiteral("calc.exe")}) {
        QCOMPARE(OpenLink(ctx, &owner, address), nullptr);
    }
    linksToSystemBrowser(app);
    QCOMPARE(OpenLink(ctx, &owner, QStringLiteral("javascript:alert(1)")), nullptr);
    QCOMPARE(app.shell.opened.size(), 1);
    QVERIFY(windows.windows().isEmpty());
}

void AuxWindowsTest::miniAndDualSearchesGiveTheirEnginesOutcomes() {
    AppFixture app;
    const std::filesystem::path file = std::filesystem::path(toStd(app.programDir)) / "health.txt";
    auto health = std::make_unique<EngineHealthLog>(file, nullptr);
    DualWindow dual(app.context(), health.get());
    dual.setAttribute(Qt::WA_DeleteOnClose, false);
    dual.show();
    FakeBrowserView* left = browserOf(dual, "WebBrowser1");
    FakeBrowserView* right = browserOf(dual, "WebBrowser2");
    QTest::keyClicks(keywordBoxOf(dual), "abc");
    QTest::keyClick(keywordBoxOf(dual), Qt::Key_Return);
    // The home page's load, broken off by the search, is no answer.
    left->endLoad({false, 0, 2, -3, toStd(left->navigations.first())});
    QVERIFY(!health->summary("dual_baidu").last);
    left->endLoad({true, 200, 0, 0, toStd(left->navigations.last())});
    QCOMPARE(left->keywordChecks, QStringList{"abc"});
    emit left->KeywordChecked(true);
    right->endLoad({false, 404, 7, 404, toStd(right->navigations.last())});
    QVERIFY(health->summary("dual_baidu").last == EngineResult::Ok);
    QVERIFY(health->summary("dual_google").last == EngineResult::HttpError);

    // The mini window's page that never ends is slow at its own deadline.
    MiniWindow mini(
        app.context(), [] {}, {}, health.get());
    keywordBoxOf(mini)->setText("abc");
    QTest::keyClick(keywordBoxOf(mini), Qt::Key_Return);
    QVERIFY(!health->summary("mini_baidu").last);
    mini.findChild<EngineFollower*>()->deadlinePassed();
    QVERIFY(health->summary("mini_baidu").last == EngineResult::Slow);
    health.reset();  // written as it goes
    const EngineHealth read = EngineHealth::load(file);
    QCOMPARE(read.summary("dual_google").failures, 1);
    QCOMPARE(read.summary("mini_baidu").failures, 1);
}

QTEST_MAIN(AuxWindowsTest)
#include "tst_aux_windows.moc"

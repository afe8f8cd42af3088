// The engines' encodings and the engines file with the real browser engine, against the local test
// server as the proxy for every host: what each engine finally receives on the wire.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "platform/qt_text.h"
#include "platform/steady_tick_counter.h"
#include "search/engine_addresses.h"
#include "search/engine_watch.h"
#include "search/query_address.h"
#include "shell/tab_strip.h"
#include "shell/wait_window.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"
#include "support/main_controls.h"
#include "support/program_runner.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

constexpr int kTimeoutMs = 30000;

// Every character an address reserves, and Chinese that GBK and UTF-8 encode differently.
const QString kKeyword = QStringLiteral("C++ AT&T #1 100% a=b/c 内核");

// The keyword typed: the ASCII as keys, the Chinese as an input method commits it.
void typeKeyword(QWidget* box) {
    QTest::keyClicks(box, kKeyword.left(kKeyword.size() - 2));
    QInputMethodEvent commit;
    commit.setCommitString(kKeyword.right(2));
    QApplication::sendEvent(box->focusProxy() ? box->focusProxy() : box, &commit);
}

// Whether the server, reading the request in `encoding` ("gbk" or "utf8"), finds the typed keyword
// whole: as a query parameter's value, or at the end of the path.
bool decodesToKeyword(const QJsonObject& request, const QString& encoding) {
    const QJsonObject decoded = request["decoded"].toObject()[encoding].toObject();
    if (decoded["path"].toString().endsWith(kKeyword)) return true;
    for (const QJsonValue& param : decoded["params"].toArray())
        if (param.toArray().at(1).toString() == kKeyword) return true;
    return false;
}

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

// The options dialog opened from the menu, `change` done to it, and closed with 确定.
void changeOptions(QWidget& main, const std::function<void(QWidget&)>& change) {
    main.findChild<QAction*>("xuanxiang")->trigger();
    QWidget* options = topLevel(QStringLiteral("frmOptions"));
    QVERIFY(options);
    change(*options);
    options->findChild<QPushButton*>("cmdOK")->click();
}

void search(QWidget& main, const QString& keyword) {
    QComboBox* combo = keywordBox(main);
    combo->setEditText(keyword);
    QTest::keyClick(combo, Qt::Key_Return);
}

// The result tabs whose engine the server was asked for `keyword`, by the engine's own address.
QList<int> tabsAsked(EngineProgram& program, const QString& keyword) {
    QList<int> tabs;
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        const QString address = toQ(program.engines.address(tab, toStd(keyword)).address);
        if (!program.server.requests([&](const QJsonObject& r) { return r["target"] == address; }).isEmpty())
            tabs << tab;
    }
    return tabs;
}

bool waitReleased(QWidget& main) {
    return main.isEnabled() && !waitWindow()->isVisible();
}

}  // namespace

class E2eEnginesTest : public QObject {
    Q_OBJECT
private slots:
    void eachEngineReceivesTheKeywordInItsEncodingAtItsAddress();
    void enginesFailingEachTheirOwnWayAreMarkedAndTheOthersAreNot();
    void aGroupAndAnEngineSwitchedOffSendTheKeywordOnlyWhereAsked();
    void tabsLoadedWhenShownLoadOneAtEnterOneMorePerTabShownAndAllForSaveAll();
};

void E2eEnginesTest::eachEngineReceivesTheKeywordInItsEncodingAtItsAddress() {
    EngineProgram program;
    // A user-defined engine that reads UTF-8, as the options dialog saves it; and an engines file
    // that moves tab 2 (sogou) and the mini window's sogou to addresses of their own.
    QVERIFY(ProgramRunner::writeFile(
        program.programDir + "/DIY.txt",
        " 1 \r\n 0 \r\nWiki\r\n\r\nhttp://diy.example/search?q=\r\n\r\nUTF-8\r\nGBK\r\n"));
    program.settings.Release();
    const QString engines = program.programDir + "/" + kEngineAddressesFileName;
    QVERIFY(ProgramRunner::writeFile(
        engines,
        "sogou=http://sogou.example/web?ie=utf8&query={keyword}&from=pluvik utf-8\r\n"
        "mini_sogou=http://m.sogou.example/web?query={keyword}\r\n"));
    QCOMPARE(program.engines.applyFile(toStd(engines)).addresses.size(), size_t(2));

    QComboBox* combo = keywordBox(*program.window);
    typeKeyword(combo);
    QTest::keyClick(combo, Qt::Key_Return);
    // The keyword arrives whole, each engine decoding it in its own encoding.
    const auto received = [&](const QString& target, const QString& encoding) {
        const auto sent = [&](const QJsonObject& r) { return r["target"] == target; };
        if (!program.server.waitForRequest(sent, kTimeoutMs)) return false;
        return decodesToKeyword(program.server.requests(sent).first(), encoding);
    };
    const QString utf8 = QStringLiteral("C%2B%2B%20AT%26T%20%231%20100%25%20a%3Db%2Fc%20%E5%86%85%E6%A0%B8");
    QVERIFY(received("http://diy.example/search?q=" + utf8, "utf8"));
    QVERIFY(received("http://sogou.example/web?ie=utf8&query=" + utf8 + "&from=pluvik", "utf8"));
    // The GBK engines, the three with the keyword in the path among them.
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        if (tab == 2) continue;  // moved to UTF-8 above
        QVERIFY2(received(toQ(program.engines.address(tab, toStd(kKeyword)).address), "gbk"),
                 qPrintable(QString::number(tab)));
    }

    program.window->findChild<QAction*>("mini")->trigger();
    QWidget* mini = topLevel(QStringLiteral("Miniform"));
    QVERIFY(mini);
    typeKeyword(mini->findChild<QLineEdit*>("Text1"));
    mini->findChild<QRadioButton*>("sogou")->click();
    QTest::keyClick(mini->findChild<QLineEdit*>("Text1"), Qt::Key_Return);
    // The mini window's own entry, in GBK.
    QVERIFY(received(
        "http://m.sogou.example/web?query=C%2B%2B%20AT%26T%20%231%20100%25%20a%3Db%2Fc%20%C4%DA%BA%CB",
        "gbk"));
}

void E2eEnginesTest::enginesFailingEachTheirOwnWayAreMarkedAndTheOthersAreNot() {
    EngineProgram program;
    // Google (tab 1) answers 404, Yahoo (3) moved to Sogou, Youdao (4) never finishes, Yisou (6)
    // closes without an answer, Zhongsou (7) shows a page without the keyword.
    QVERIFY(program.server.control(
        "engine_faults=www.google.cn%3Dstatus:404,www.yahoo.cn%3Dmoved:www.sogou.com,"
        "www.yisou.com%3Dclose,www.zhongsou.com%3Dnokeyword&bad_host=www.youdao.com&bad_kind=slow"));
    QComboBox* combo = keywordBox(*program.window);
    QTest::keyClicks(combo, QStringLiteral("abc"));
    QTest::keyClick(combo, Qt::Key_Return);
    // Every tab but the one still loading has answered, tab 20 twice (its second load). On a busy
    // machine the deadline may have come first and made that one slow already.
    QVERIFY(waitInEventLoop(
        [&] {
            return program.traced("engine_outcome", "\"tab\":20}") == 2 &&
                   program.traced("engine_outcome") - program.traced("engine_outcome", "\"tab\":4}") == 21;
        },
        kTimeoutMs));
    waitWindow()->checkDeadline(SteadyTickCounter().tickCount() + WaitWindowState::kPagesOpenedDeadlineMs);

    for (const auto& [tab, outcome] : std::vector<std::pair<int, QByteArray>>{
             {1, "http_error"}, {3, "moved"}, {4, "slow"}, {6, "network_error"}, {7, "no_keyword"}})
        QVERIFY2(program.traced("engine_outcome", "\"outcome\":\"" + outcome + "\",\"status\"") >= 1 &&
                     program.traced("engine_outcome", "\"tab\":" + QByteArray::number(tab) + "}") == 1,
                 outcome.constData());
    QCOMPARE(program.traced("engine_outcome", "\"outcome\":\"ok\""), 17);  // tab 20 twice
    auto* strip = program.window->findChild<TabStrip*>("SSTab1");
    QCOMPARE(strip->markText(1), QStringLiteral("服务器返回 404"));
    QCOMPARE(strip->markText(3), QStringLiteral("已转到 www.sogou.com"));
    QCOMPARE(strip->markText(4), QStringLiteral("15 秒内未打开"));
    QVERIFY(strip->markText(6).startsWith(QStringLiteral("无法连接：")));
    QVERIFY(strip->markText(6).endsWith(QStringLiteral(" www.yisou.com")));
    QCOMPARE(strip->markText(7), QStringLiteral("页面中没有关键词"));
    for (int tab : {0, 2, 5, 8, 15, 20}) QCOMPARE(strip->markText(tab), QString());
    QCOMPARE(statusText(*program.window), QStringLiteral("21 个引擎中 16 个正常"));
    QVERIFY(ProgramRunner::readFile(program.programDir + "/health.txt").contains("\ngoogle http_error:"));

    // The engines page shows what each did; an address edited there is the next search's.
    program.window->findChild<QAction*>("yinqing")->trigger();
    QWidget* page = topLevel(QStringLiteral("EnginesWindow"));
    QVERIFY(page);
    auto* list = page->findChild<QTableWidget*>("EngineList");
    for (const auto& [tab, caption] : std::vector<std::pair<int, QString>>{
             {0, "正常"}, {1, "服务器错误"}, {3, "已转走"}, {4, "未打开"}, {6, "无法连接"}, {7, "无关键词"}})
        QCOMPARE(list->item(tab, 6)->text(), caption);
    list->setCurrentCell(5, 1);  // soso
    auto* address = page->findChild<QLineEdit*>("AddressEdit");
    address->setText("http://soso.example/q?w={keyword}&from=page");
    QTest::keyClick(address, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(program.window->isEnabled(), kTimeoutMs);
    combo->setEditText(QStringLiteral("def"));
    QTest::keyClick(combo, Qt::Key_Return);
    QVERIFY(program.server.waitForRequest(
        [](const QJsonObject& r) { return r["target"] == "http://soso.example/q?w=def&from=page"; },
        kTimeoutMs));
    QVERIFY(ProgramRunner::readFile(program.programDir + "/" + kEngineAddressesFileName)
                .contains("soso=http://soso.example/q?w={keyword}&from=page"));
}

void E2eEnginesTest::aGroupAndAnEngineSwitchedOffSendTheKeywordOnlyWhereAsked() {
    EngineProgram program;
    QWidget& main = *program.window;
    // 图片 holds the image engine alone (tab 11); the signal tab is not part of it, yet the wait
    // window lets go once that page has ended.
    auto* scope = main.findChild<QComboBox*>("Scope");
    scope->setCurrentIndex(scope->findText(QStringLiteral("图片")));
    search(main, QStringLiteral("pictures"));
    QVERIFY(!main.isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(waitReleased(main) && program.traced("engine_outcome") == 1, kTimeoutMs);
    QCOMPARE(tabsAsked(program, QStringLiteral("pictures")), QList<int>{11});
    QCOMPARE(resultTabs(main)->current(), 11);
    QTest::qWait(3500);  // the retry tab's second load would be due by now
    QCOMPARE(tabsAsked(program, QStringLiteral("pictures")), QList<int>{11});

    // Yahoo (tab 3) unticked: every other engine gets the keyword, Yahoo nothing; ticked again, it
    // gets the keyword of the last search at once.
    scope->setCurrentIndex(0);
    changeOptions(main, [](QWidget& options) { options.findChild<QCheckBox*>("yahoo")->setChecked(false); });
    search(main, QStringLiteral("hello world"));
    QTRY_VERIFY_WITH_TIMEOUT(waitReleased(main) && program.traced("engine_outcome") == 1 + 21, kTimeoutMs);
    QList<int> others;
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab)
        if (tab != 3) others << tab;
    QCOMPARE(tabsAsked(program, QStringLiteral("hello world")), others);
    changeOptions(main, [](QWidget& options) { options.findChild<QCheckBox*>("yahoo")->setChecked(true); });
    QVERIFY(program.server.waitForRequest(
        TestServer::to(QStringLiteral("www.yahoo.cn"), QStringLiteral("/s")), kTimeoutMs));
    QCOMPARE(tabsAsked(program, QStringLiteral("hello world")).size(), EngineTable::kBuiltInCount);
}

void E2eEnginesTest::tabsLoadedWhenShownLoadOneAtEnterOneMorePerTabShownAndAllForSaveAll() {
    EngineProgram program;
    QWidget& main = *program.window;
    changeOptions(main, [](QWidget& options) { options.findChild<QCheckBox*>("qiehuandakai")->setChecked(true); });
    QVERIFY(QFile::exists(program.dir.filePath("tabs_when_shown.txt")));

    // Enter loads the tab in front; the wait window lets go when it has ended.
    search(main, QStringLiteral("lazy"));
    QTRY_VERIFY_WITH_TIMEOUT(waitReleased(main) && program.traced("engine_outcome") == 1, kTimeoutMs);
    QTest::qWait(3500);  // past the retry tab's second load, which a tab not loaded has no need of
    QCOMPARE(tabsAsked(program, QStringLiteral("lazy")), QList<int>{0});
    // Each tab shown loads once; shown again, it does not load again.
    resultTabs(main)->setCurrent(5);
    QTRY_COMPARE_WITH_TIMEOUT(tabsAsked(program, QStringLiteral("lazy")), (QList<int>{0, 5}), kTimeoutMs);
    resultTabs(main)->setCurrent(0);
    resultTabs(main)->setCurrent(5);
    QTRY_VERIFY_WITH_TIMEOUT(program.traced("engine_outcome") == 2, kTimeoutMs);
    QCOMPARE(program.server.requests(TestServer::to(QStringLiteral("www.soso.com"), QStringLiteral("/q"))).size(), 1);

    // Save all loads the 19 tabs not loaded yet, then saves all 21 pages whole.
    QDir saved(program.dir.filePath("saved"));
    QVERIFY(saved.mkpath("."));
    int asked = 0;
    program.dialogs.setSaveHook([&](const SavePathRequest&) {
        return std::optional<SavePathAnswer>(SavePathAnswer{saved.filePath(QString::number(asked++) + ".htm"), 0});
    });
    main.findChild<QAction*>("baocunsuoyoujieguo")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(tabsAsked(program, QStringLiteral("lazy")).size(), EngineTable::kBuiltInCount, kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(asked, EngineTable::kBuiltInCount, 2 * kTimeoutMs);
    const auto whole = [&](int page) {
        QFile file(saved.filePath(QString::number(page) + ".htm"));
        return file.open(QIODevice::ReadOnly) && file.size() > 50 * 1024 && file.readAll().contains("lazy") &&
               saved.exists(QString::number(page) + "_files");
    };
    for (int page = 0; page < EngineTable::kBuiltInCount; ++page)
        QTRY_VERIFY2_WITH_TIMEOUT(whole(page), qPrintable(QString::number(page)), kTimeoutMs);
}

ENGINE_TEST_MAIN(E2eEnginesTest)

#include "tst_e2e_engines.moc"

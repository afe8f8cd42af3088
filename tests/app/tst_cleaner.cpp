// The trace cleaner DelSearch on an in-memory URL history and URL cache, and the recorder that
// feeds the history from the browsers.

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

#include "cleaner/cleaner_targets.h"
#include "cleaner/del_search.h"
#include "cleaner/memory_url_cache.h"
#include "cleaner/memory_url_history_storage.h"
#include "cleaner/url_history.h"
#include "cleaner/url_history_recorder.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "support/fake_browser_view.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// The typed-text lists, as the windows that own them would empty them.
class FakeTargets : public CleanerTargets {
public:
    explicit FakeTargets(QStringList& events) : m_events(events) {}
    void clearKeywordHistory() override {
        keywords.clear();
        m_events << "keywords";
    }
    void clearBrowseAddressList() override {
        addresses.clear();
        m_events << "addresses";
    }
    QStringList keywords{"天气", "新闻"};
    QStringList addresses{"http://typed.test/"};

private:
    QStringList& m_events;
};

// A history that notes when it is cleared, so the order of the rows shows.
class NotingHistory : public MemoryUrlHistoryStorage {
public:
    explicit NotingHistory(QStringList& events) : m_events(events) {}
    void clearHistory() override {
        MemoryUrlHistoryStorage::clearHistory();
        m_events << "history";
    }

private:
    QStringList& m_events;
};

// Everything the cleaner works on, filled with one trace of each kind.
struct Cleaner {
    Cleaner() {
        history.addUrl("http://visited.test/", "Visited", kStatUrlFlagIsTopLevel);
        history.addUrl("http://other.test/", "", kStatUrlFlagIsTopLevel);
        cache.addEntry("http://visited.test/page.html", kNormalCacheEntry);
        cache.addEntry("cookie:id@visited.test/", kCookieCacheEntry);
        cache.addEntry("http://visited.test/logo.png", kNormalCacheEntry);
        cache.addEntry("visited:http://visited.test/", kUrlHistoryCacheEntry);
        dialogs.setTestHook([this](const MessageRequest& request) {
            messages.push_back(request);
            events << "message " + request.text;
            return MessageAnswer::Ok;
        });
    }
    std::unique_ptr<DelSearch> open() {
        return std::make_unique<DelSearch>(CleanerContext{dialogs, targets, history, cache});
    }
    bool hasCookie() const { return cache.hasEntry("cookie:id@visited.test/"); }
    bool hasFiles() const {
        return cache.hasEntry("http://visited.test/page.html") ||
               cache.hasEntry("http://visited.test/logo.png");
    }

    QStringList events;
    FakeTargets targets{events};
    NotingHistory history{events};
    MemoryUrlCache cache;
    Dialogs dialogs;
    std::vector<MessageRequest> messages;
};

void click(DelSearch& dialog, const char* name) {
    auto* button = dialog.findChild<QPushButton*>(name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class CleanerTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithItsFiveRowsAndTheirCheckStates();
    void cleaningWithEveryBoxClearedOnlyShowsTheMessage();
    void theDefaultCleanTakesEverythingButTheCookies();
    void everyRowButtonCleansItsRowWhateverTheBox_data();
    void everyRowButtonCleansItsRowWhateverTheBox();
    void aHistoryThatCannotBeUsedIsSkippedAndTheRestStillRuns();
    void everyOpeningReadsTheHistoryAfreshAndStartsFromTheDesignedState();
    void theRecorderWritesEveryPageABrowserLoads();
};

void CleanerTest::opensWithItsFiveRowsAndTheirCheckStates() {
    Cleaner c;
    auto dialog = c.open();
    QCOMPARE(dialog->objectName(), QStringLiteral("DelSearch"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("清理搜索记录"));
    auto* frame = dialog->findChild<QGroupBox*>("Frame1");
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("可清理的项目"));

    const struct {
        const char* check;
        QString caption;
        bool checked;
        const char* button;
        QString buttonCaption;
    } rows[] = {
        {"Check1", "搜索框输入记录", true, "Command3", "清理输入记录"},
        {"Check2", "搜索浏览器历史记录", true, "Command4", "清理历史记录"},
        {"Check3", "搜索浏览器网址输入记录", true, "Command5", "清理输入记录"},
        {"Check4", "搜索Cookies（不建议清理）", false, "Command6", "清理Cookies"},
        {"Check5", "Internet临时文件", true, "Command7", "清理文件"},
    };
    for (const auto& row : rows) {
        auto* check = frame->findChild<QCheckBox*>(row.check);
        auto* button = frame->findChild<QPushButton*>(row.button);
        QVERIFY2(check && button, row.check);
        QCOMPARE(check->text(), row.caption);
        QCOMPARE(check->isChecked(), row.checked);
        QCOMPARE(button->text(), row.buttonCaption);
        // One row: the box at the left, its button at the right.
        QCOMPARE(check->y(), button->y());
        QVERIFY(check->geometry().right() < button->geometry().left());
    }
    auto* command1 = dialog->findChild<QPushButton*>("Command1");
    auto* command2 = dialog->findChild<QPushButton*>("Command2");
    QCOMPARE(command1->text(), QStringLiteral("清理选中的项目"));
    QCOMPARE(command2->text(), QStringLiteral("关闭"));
    // The history was read at opening.
    QVERIFY(dialog->urlHistory());
    QCOMPARE(dialog->urlHistory()->Count(), 2u);
}

void CleanerTest::cleaningWithEveryBoxClearedOnlyShowsTheMessage() {
    Cleaner c;
    auto dialog = c.open();
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) box->setChecked(false);
    const auto entriesBefore = c.cache.entryNames();
    click(*dialog, "Command1");
    QCOMPARE(c.events, QStringList{"message 清理完毕！"});
    QCOMPARE(c.history.size(), 2u);
    QCOMPARE(c.cache.entryNames(), entriesBefore);
    QVERIFY(c.cache.log.empty());
    QCOMPARE(c.targets.keywords.size(), 2);
    QCOMPARE(c.targets.addresses.size(), 1);
    QCOMPARE(c.messages.size(), size_t{1});
    QCOMPARE(c.messages[0].title, QStringLiteral("Pluvik"));
    QCOMPARE(c.messages[0].icon, MessageIcon::None);
    QCOMPARE(c.messages[0].buttons, MessageButtons::Ok);
}

void CleanerTest::theDefaultCleanTakesEverythingButTheCookies() {
    Cleaner c;
    auto dialog = c.open();
    click(*dialog, "Command1");
    // Rows top to bottom, the message last.
    QCOMPARE(c.events, (QStringList{"keywords", "history", "addresses", "message 清理完毕！"}));
    QVERIFY(c.targets.keywords.isEmpty());
    QVERIFY(c.targets.addresses.isEmpty());
    QCOMPARE(c.history.size(), 0u);
    QCOMPARE(dialog->urlHistory()->Count(), 0u);
    QVERIFY(!c.hasFiles());
    QVERIFY(c.hasCookie());
    QVERIFY(c.cache.hasEntry("visited:http://visited.test/"));
    QCOMPARE(c.cache.openSearches(), size_t{0});

    // With the cookie box checked too, the cookies go as well.
    Cleaner all;
    auto second = all.open();
    second->checkBox(CleanerRow::Cookies)->setChecked(true);
    click(*second, "Command1");
    QVERIFY(!all.hasCookie());
    QVERIFY(!all.hasFiles());
}

void CleanerTest::everyRowButtonCleansItsRowWhateverTheBox_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("cleaned");
    QTest::newRow("keywords") << "Command3"
                              << "Check1"
                              << "记录清理完毕！"
                              << "keywords";
    QTest::newRow("history") << "Command4"
                             << "Check2"
                             << "记录清理完毕！"
                             << "history";
    QTest::newRow("addresses") << "Command5"
                               << "Check3"
                               << "记录清理完毕！"
                               << "addresses";
    QTest::newRow("cookies") << "Command6"
                             << "Check4"
                             << "Cookies清理完毕！"
                             << "cookies";
    QTest::newRow("files") << "Command7"
                           << "Check5"
                           << "文件清理完毕！"
                           << "files";
}

void CleanerTest::everyRowButtonCleansItsRowWhateverTheBox() {
    QFETCH(QString, button);
    QFETCH(QString, check);
    QFETCH(QString, message);
    QFETCH(QString, cleaned);
    Cleaner c;
    auto dialog = c.open();
    // Every box cleared: a row button does not look at them.
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) box->setChecked(false);
    click(*dialog, qPrintable(button));

    QCOMPARE(c.messages.size(), size_t{1});
    QCOMPARE(c.messages[0].text, message);
    QCOMPARE(c.targets.keywords.isEmpty(), cleaned == "keywords");
    QCOMPARE(c.history.size() == 0, cleaned == "history");
    QCOMPARE(c.targets.addresses.isEmpty(), cleaned == "addresses");
    QCOMPARE(!c.hasCookie(), cleaned == "cookies");
    QCOMPARE(!c.hasFiles(), cleaned == "files");
    QVERIFY(!dialog->findChild<QCheckBox*>(check)->isChecked());
}

void CleanerTest::aHistoryThatCannotBeUsedIsSkippedAndTheRestStillRuns() {
    Cleaner c;
    c.history.setFailing(true);
    auto dialog = c.open();
    QVERIFY(!dialog->urlHistory());
    click(*dialog, "Command1");
    QCOMPARE(c.events, (QStringList{"keywords", "addresses", "message 清理完毕！"}));
    QVERIFY(!c.hasFiles());
    c.messages.clear();
    click(*dialog, "Command4");
    QCOMPARE(c.messages.size(), size_t{1});
    QCOMPARE(c.messages[0].text, QStringLiteral("记录清理完毕！"));

    // Once the history can be used again, the same dialog cleans it.
    c.history.setFailing(false);
    click(*dialog, "Command4");
    QCOMPARE(c.history.size(), 0u);
    QVERIFY(dialog->urlHistory());

    // A history that fails only when it is cleared: the same.
    Cleaner late;
    auto opened = late.open();
    late.history.setFailing(true);
    click(*opened, "Command1");
    QVERIFY(late.targets.addresses.isEmpty());
    QVERIFY(!late.hasFiles());
    QCOMPARE(late.messages.back().text, QStringLiteral("清理完毕！"));
}

void CleanerTest::everyOpeningReadsTheHistoryAfreshAndStartsFromTheDesignedState() {
    Cleaner c;
    auto first = c.open();
    QCOMPARE(first->urlHistory()->Count(), 2u);
    first->checkBox(CleanerRow::Cookies)->setChecked(true);
    first->checkBox(CleanerRow::KeywordList)->setChecked(false);
    first->close();
    first.reset();

    c.history.addUrl("http://later.test/", "Later", 0);
    auto second = c.open();
    QCOMPARE(second->urlHistory()->Count(), 3u);
    QCOMPARE(QString::fromStdString(second->urlHistory()->Item(1).URL()),
             QStringLiteral("http://later.test/"));
    QVERIFY(!second->checkBox(CleanerRow::Cookies)->isChecked());
    QVERIFY(second->checkBox(CleanerRow::KeywordList)->isChecked());
}

void CleanerTest::theRecorderWritesEveryPageABrowserLoads() {
    MemoryUrlHistoryStorage history;
    UrlHistoryRecorder recorder(history);
    FakeBrowserFactory browsers;
    RecordingBrowserFactory recording(browsers, recorder);
    std::unique_ptr<BrowserView> created(recording.create(nullptr, "WebBrowser1"));
    auto* view = browsers.created.at(0).data();
    QCOMPARE(created.get(), static_cast<BrowserView*>(view));

    view->Navigate("http://www.result.test/s?wd=%E5%A4%A9");
    view->title = "http://www.result.test/s?wd=%E5%A4%A9";  // no title yet: the engine shows the address
    view->finishLoad();
    view->setTitle("天气 - 搜索");
    view->Navigate("about:blank");
    view->finishLoad();
    view->Navigate("/opt/pluvik/Pluvik.htm");
    view->setTitle("");
    view->finishLoad();

    const std::vector<StatUrl> visits = history.enumUrls("", 0);
    QCOMPARE(visits.size(), size_t{2});
    // Most recent first; the start page is kept by its file address.
    QCOMPARE(toQ(visits[0].url.value()), QStringLiteral("file:///opt/pluvik/Pluvik.htm"));
    QVERIFY(!visits[0].title);
    QCOMPARE(toQ(visits[1].url.value()), QStringLiteral("http://www.result.test/s?wd=%E5%A4%A9"));
    QCOMPARE(toQ(visits[1].title.value_or("")), QStringLiteral("天气 - 搜索"));
    QCOMPARE(visits[1].flags, kStatUrlFlagIsTopLevel);

    // A title that changes after the history was cleared (a clock on the page) records nothing.
    view->Navigate("http://clock.test/");
    view->finishLoad();
    history.clearHistory();
    history.addUrl("http://clock.test/later", "", 0);  // a later visit under the same address
    view->setTitle("12:00:01");
    view->setTitle("12:00:02");
    QCOMPARE(history.size(), 1u);
    view->finishLoad();  // loaded again: a visit
    QCOMPARE(history.size(), 2u);
    history.clearHistory();

    // A visit that cannot be written is dropped; an exception getting through would end the test.
    history.setFailing(true);
    view->Navigate("http://lost.test/");
    view->finishLoad();
    history.setFailing(false);
    QCOMPARE(history.size(), 0u);
}

QTEST_MAIN(CleanerTest)
#include "tst_cleaner.moc"

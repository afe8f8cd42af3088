// Faults of the outside world, injected through the platform interfaces the windows work on: a
// settings directory that cannot be written, a disk that fills up while the settings are saved, a
// history database that is locked or damaged, a URL cache whose calls fail, and an update server
// that sends a broken description file. Each time the program must neither crash nor hang, keep
// what was on disk, and not claim that a failed step worked.

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QNetworkProxy>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>
#include <filesystem>

#include "cleaner/cleaner_targets.h"
#include "cleaner/del_search.h"
#include "cleaner/m_main.h"
#include "cleaner/memory_url_cache.h"
#include "cleaner/memory_url_history_storage.h"
#include "cleaner/sqlite_url_history_storage.h"
#include "cleaner/url_history.h"
#include "options/options_dialog.h"
#include "options/options_target.h"
#include "platform/shell_opener.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "shell/file_io.h"
#include "support/app_fixture.h"
#include "support/test_server.h"
#include "update/frm_update.h"
#include "update/qt_internet_session.h"
#include "support/update_files.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// The main window's result tabs, as far as the options dialog needs them.
class Tabs : public OptionsTarget {
public:
    Tabs() : visible(23, true) { visible[21] = visible[22] = false; }
    void setTabVisible(int tab, bool v) override { visible.at(static_cast<size_t>(tab)) = v; }
    void setTabCaption(int, const QString&) override {}
    std::vector<bool> tabVisibility() const override { return visible; }
    std::vector<bool> visible;
};

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Runs `write` with every file this process writes limited to `limit` bytes, as a disk with that
// much room left would: the write that crosses the limit fails part-way (EFBIG, the signal ignored).
// Root is bound by the limit too, unlike by permission bits.
FileWriter writerWithRoomFor(std::int64_t limit) {
    return [limit](const std::filesystem::path& path, std::string_view bytes, std::string* error) {
        struct rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        struct rlimit room = saved;
        room.rlim_cur = static_cast<rlim_t>(limit);
        void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &room);
        const bool ok = writeFileAtomically(path, bytes, error);
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
        return ok;
    };
}

// The typed-text lists the cleaner empties.
class Targets : public CleanerTargets {
public:
    void clearKeywordHistory() override { ++keywordClears; }
    void clearBrowseAddressList() override { ++addressClears; }
    int keywordClears = 0;
    int addressClears = 0;
};

// The trace cleaner on a given history store and URL cache, every message recorded.
struct Cleaner {
    Cleaner(UrlHistoryStorage& history, UrlCache& cache) {
        dialogs.setTestHook([this](const MessageRequest& request) {
            messages << request.text;
            return MessageAnswer::Ok;
        });
        dialog = std::make_unique<DelSearch>(CleanerContext{dialogs, targets, history, cache});
    }
    void click(const char* name) {
        auto* button = dialog->findChild<QPushButton*>(name);
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    Dialogs dialogs;
    Targets targets;
    QStringList messages;
    std::unique_ptr<DelSearch> dialog;
};

std::vector<std::string> historyUrls(const std::string& path) {
    SqliteUrlHistoryStorage store(path);
    std::vector<std::string> urls;
    for (const StatUrl& s : store.enumUrls("", 0)) urls.push_back(s.url.value_or(""));
    std::sort(urls.begin(), urls.end());
    return urls;
}

// A URL cache with a group, ordinary entries, cookies and history entries.
void fill(MemoryUrlCache& cache) {
    cache.addEntry("http://a.test/page.html", kNormalCacheEntry);
    cache.addEntry("http://a.test/grouped.js", kNormalCacheEntry);
    cache.addGroup(7, {"http://a.test/grouped.js"});
    cache.addEntry("cookie:id@a.test/", kCookieCacheEntry);
    cache.addEntry("visited:http://a.test/", kUrlHistoryCacheEntry);
    cache.addEntry("http://b.test/logo.png", kNormalCacheEntry);
    cache.addEntry("cookie:s@b.test/", kCookieCacheEntry);
    cache.addEntry("http://b.test/style.css", kNormalCacheEntry);
}

const std::vector<std::string> kHistoryEntries{"visited:http://a.test/"};


}  // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void aSettingsDirectoryThatCannotBeCreatedRunsOnTheDefaults();
    void aDiskFullDuringSaveKeepsTheOldFilesByteForByte_data();
    void aDiskFullDuringSaveKeepsTheOldFilesByteForByte();
    void aLockedHistoryIsSkippedNotDiscarded();
    void aDamagedHistoryIsSetAsideAndTheCleanerGoesOn_data();
    void aDamagedHistoryIsSetAsideAndTheCleanerGoesOn();
    void everyFailingUrlCacheCallEndsTheCleanCleanly_data();
    void everyFailingUrlCacheCallEndsTheCleanCleanly();
    void aBrokenDescriptionFileNeverReplacesTheEarlierOne_data();
    void aBrokenDescriptionFileNeverReplacesTheEarlierOne();
    void aDesktopThatCannotOpenSaysWhatWasNotOpened();
    void aCorrectedExtensionNeverReplacesAFileUnasked();

private:
    std::unique_ptr<TestServer> m_server;
};

void FaultsTest::initTestCase() {
    m_server = std::make_unique<TestServer>();
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
}

void FaultsTest::aSettingsDirectoryThatCannotBeCreatedRunsOnTheDefaults() {
    // The program directory lies under a regular file, so neither it nor any file in it can be made
    // (permission bits would not stop root).
    AppFixture app;
    const QString blocker = app.dir.filePath("blocker");
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    app.settings = std::make_unique<SettingsStore>(toStd(blocker + "/program"));

    QVERIFY(!app.settings->WriteDefaultSettings());
    QVERIFY(!app.settings->lastError().empty());
    QVERIFY(app.settings->current() == Settings());

    Tabs tabs;
    QPointer<OptionsDialog> dialog = new OptionsDialog(app.context(), tabs);
    dialog->show();
    dialog->findChild<QCheckBox*>("sogou")->click();
    dialog->findChild<QRadioButton*>("ie")->click();
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);

    QCOMPARE(app.messages.size(), size_t{1});
    QVERIFY2(app.messages[0].text.startsWith(QStringLiteral("设置无法保存：")),
             qPrintable(app.messages[0].text));
    // Chinese throughout: nothing but the path is in Latin letters.
    QString words = app.messages[0].text;
    words.remove(blocker + "/program");
    QVERIFY2(!words.contains(QRegularExpression("[A-Za-z]")), qPrintable(app.messages[0].text));
    QCOMPARE(app.settings->current().sogou, 0);
    QVERIFY(app.settings->current().ie);
    QVERIFY(!QFileInfo::exists(blocker + "/program"));
    QCOMPARE(QFileInfo(blocker).size(), 0);
    delete dialog.data();
}

void FaultsTest::aDiskFullDuringSaveKeepsTheOldFilesByteForByte_data() {
    QTest::addColumn<qint64>("room");
    QTest::addColumn<bool>("gnReplaced");
    // "Gn.txt" is 118 bytes with these settings, "DIY.txt" over 300.
    QTest::newRow("full at Gn.txt") << qint64(40) << false;
    QTest::newRow("full at DIY.txt") << qint64(200) << true;
}

void FaultsTest::aDiskFullDuringSaveKeepsTheOldFilesByteForByte() {
    QFETCH(qint64, room);
    QFETCH(bool, gnReplaced);
    AppFixture app;
    // Files as a user left them: not what the program would write, so any rewrite shows.
    const QByteArray gnBefore = QByteArray(" 1 \n").repeated(21) + "true\n1\n";
    const QByteArray diyBefore = " 1\r\n 0\r\n\xCE\xD2\xB5\xC4\r\n\r\nhttp://mine.test/?q=\r\n\r\n";
    app.writeProgramFile("Gn.txt", gnBefore);
    app.writeProgramFile("DIY.txt", diyBefore);
    app.settings = std::make_unique<SettingsStore>(toStd(app.programDir), writerWithRoomFor(room));

    Tabs tabs;
    QPointer<OptionsDialog> dialog = new OptionsDialog(app.context(), tabs);
    dialog->show();
    dialog->findChild<QCheckBox*>("sogou")->click();
    const QString longUrl = "http://mine.test/search?" + QString("x").repeated(300) + "&q=";
    dialog->findChild<QLineEdit*>("diy1url")->setText(longUrl);
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);

    // The user is told, and the files not written are as they were, with no pieces left beside them.
    QCOMPARE(app.messages.size(), size_t{1});
    QVERIFY2(app.messages[0].text.startsWith(QStringLiteral("设置无法保存：")),
             qPrintable(app.messages[0].text));
    QCOMPARE(app.readProgramFile("DIY.txt"), diyBefore);
    if (gnReplaced) {
        Settings onDisk;
        parseGn(app.readProgramFile("Gn.txt").toStdString(), onDisk);
        QCOMPARE(onDisk.sogou, 0);
    } else {
        QCOMPARE(app.readProgramFile("Gn.txt"), gnBefore);
    }
    QCOMPARE(filesIn(app.programDir), (QStringList{"DIY.txt", "Gn.txt"}));
    // The session goes on with the user's choice.
    QCOMPARE(app.settings->current().sogou, 0);
    QCOMPARE(toQ(app.settings->current().diy1url), longUrl);

    delete dialog.data();

    // With room again the same choice is saved whole.
    const Settings chosen = app.settings->current();
    SettingsStore roomy(toStd(app.programDir));
    QVERIFY(roomy.SaveSettings(chosen));
    QVERIFY(SettingsStore(toStd(app.programDir)).current() == chosen);
}

void FaultsTest::aLockedHistoryIsSkippedNotDiscarded() {
    QTemporaryDir dir;
    const std::string path = toStd(dir.filePath("history.sqlite"));
    {
        SqliteUrlHistoryStorage seed(path);
        seed.addUrl("http://a.test/", "A", kStatUrlFlagIsTopLevel);
        seed.addUrl("http://b.test/", "B", kStatUrlFlagIsTopLevel);
    }
    // Another process holds the file with an exclusive lock: no one else may read or write it.
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other,
                          "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM url_history "
                          "WHERE 0;",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);

    SqliteHistoryOptions options;
    options.busyTimeoutMs = 0;
    SqliteUrlHistoryStorage history(path, options);
    MemoryUrlCache cache;
    fill(cache);
    Cleaner c(history, cache);
    QVERIFY(!c.dialog->urlHistory());
    c.click("Command1");
    // The other rows ran, and the lock was not taken for damage: the file was not set aside.
    QCOMPARE(c.messages, QStringList{QStringLiteral("清理完毕！")});
    QCOMPARE(c.targets.keywordClears, 1);
    QCOMPARE(c.targets.addressClears, 1);
    QVERIFY(!cache.hasEntry("http://a.test/page.html"));
    QVERIFY(history.setAsideFiles().empty());
    QCOMPARE(filesIn(dir.path()).filter(".damaged-"), QStringList());

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QCOMPARE(historyUrls(path), (std::vector<std::string>{"http://a.test/", "http://b.test/"}));

    // Once the lock is gone, the same dialog cleans the history.
    c.click("Command4");
    QVERIFY(c.dialog->urlHistory());
    QCOMPARE(c.dialog->urlHistory()->Count(), 0u);
    QVERIFY(historyUrls(path).empty());
}

void FaultsTest::aDamagedHistoryIsSetAsideAndTheCleanerGoesOn_data() {
    QTest::addColumn<bool>("pagesDamaged");
    QTest::newRow("not a database") << false;
    QTest::newRow("damaged pages") << true;
}

void FaultsTest::aDamagedHistoryIsSetAsideAndTheCleanerGoesOn() {
    QFETCH(bool, pagesDamaged);
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    if (pagesDamaged) {
        {
            SqliteUrlHistoryStorage seed(toStd(path));
            for (int i = 0; i < 2000; ++i)
                seed.addUrl("http://site" + std::to_string(i) + ".test/", "Page " + std::to_string(i), 0);
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        for (qint64 at = 8192 + 8; at < f.size(); at += 4096) {
            f.seek(at);
            f.write(QByteArray(64, '\xee'));
        }
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("a file that a crash of the disk left behind ").repeated(100));
    }

    SqliteUrlHistoryStorage history(toStd(path));
    MemoryUrlCache cache;
    Cleaner c(history, cache);
    // The damaged file is moved out of the way and the dialog works on a fresh, empty history.
    QVERIFY(c.dialog->urlHistory());
    QCOMPARE(c.dialog->urlHistory()->Count(), 0u);
    QCOMPARE(filesIn(dir.path()).filter(".damaged-").size(), 1);

    history.addUrl("http://new.test/", "", 0);
    c.click("Command4");
    QCOMPARE(c.messages, QStringList{QStringLiteral("记录清理完毕！")});
    QVERIFY(historyUrls(toStd(path)).empty());
    // Clearing the history takes the set-aside copy with it: it held the old visits.
    QCOMPARE(filesIn(dir.path()).filter(".damaged-"), QStringList());
}

void FaultsTest::everyFailingUrlCacheCallEndsTheCleanCleanly_data() {
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("nth");
    QTest::addColumn<uint>("error");
    // Every call the two cleans of "清理选中的项目" make, found by running them once without faults.
    const struct {
        CacheCall call;
        const char* logged;
    } calls[] = {
        {CacheCall::FindFirstGroup, "findFirstGroup"}, {CacheCall::FindNextGroup, "findNextGroup"},
        {CacheCall::DeleteGroup, "deleteGroup"},       {CacheCall::FindFirstEntry, "findFirstEntry"},
        {CacheCall::FindNextEntry, "findNextEntry"},   {CacheCall::DeleteEntry, "deleteEntry"},
        {CacheCall::FindClose, "findClose"},
    };
    MemoryUrlCache baseline;
    fill(baseline);
    mMain::ClearUrlCache(baseline, mMain::kCookiePattern, mMain::kCookieSkipMask);
    mMain::ClearUrlCache(baseline, mMain::kTemporaryFilesPattern, mMain::kTemporaryFilesSkipMask);
    for (const auto& c : calls) {
        const auto made =
            std::count_if(baseline.log.begin(), baseline.log.end(), [&](const std::string& line) {
                return line == c.logged || line.starts_with(std::string(c.logged) + " ");
            });
        QVERIFY2(made > 0, c.logged);
        for (int nth = 1; nth <= made; ++nth) {
            for (uint error : {kErrorAccessDenied, kErrorInsufficientBuffer}) {
                QTest::addRow("%s #%d error %u", c.logged, nth, error)
                    << static_cast<int>(c.call) << nth << error;
            }
        }
    }
}

void FaultsTest::everyFailingUrlCacheCallEndsTheCleanCleanly() {
    QFETCH(int, call);
    QFETCH(int, nth);
    QFETCH(uint, error);
    MemoryUrlCache cache;
    fill(cache);
    const std::vector<std::string> before = cache.entryNames();
    cache.failCall(static_cast<CacheCall>(call), error, nth);
    MemoryUrlHistoryStorage history;
    Cleaner c(history, cache);
    c.dialog->checkBox(CleanerRow::Cookies)->setChecked(true);

    c.click("Command1");

    // The clean ends (this test would hang otherwise), every search it began is closed, the message
    // comes once, and the history entries are never touched.
    QCOMPARE(c.messages, QStringList{QStringLiteral("清理完毕！")});
    QCOMPARE(cache.openSearches(), size_t{0});
    for (const std::string& name : kHistoryEntries) QVERIFY(cache.hasEntry(name));
    if (static_cast<CacheCall>(call) == CacheCall::DeleteEntry) {
        // An entry that cannot be deleted is passed over: it alone is left.
        QCOMPARE(cache.entryNames().size(), kHistoryEntries.size() + 1);
    }

    // The cache is left fit for use: the next clean, without the fault, takes everything it should.
    for (int k = 1; k <= nth; ++k) cache.failCall(static_cast<CacheCall>(call), kErrorSuccess, k);
    c.messages.clear();
    c.click("Command1");
    std::vector<std::string> left = cache.entryNames();
    QCOMPARE(left, kHistoryEntries);
    QCOMPARE(cache.openSearches(), size_t{0});
    QVERIFY(before.size() > left.size());
}

void FaultsTest::aBrokenDescriptionFileNeverReplacesTheEarlierOne_data() {
    QTest::addColumn<QString>("switches");
    QTest::addColumn<int>("stallMs");
    QTest::newRow("refused with an error page") << "update_status=500" << 0;
    QTest::newRow("cut off") << "faults_on=update&truncate_at=2" << 0;
    QTest::newRow("reset before the answer") << "faults_on=update&reset=1" << 0;
    QTest::newRow("reset mid-body") << "faults_on=update&truncate_at=2&reset=1" << 0;
    QTest::newRow("stalled") << "faults_on=update&delay_ms=120000" << 300;
}

void FaultsTest::aBrokenDescriptionFileNeverReplacesTheEarlierOne() {
    QFETCH(QString, switches);
    QFETCH(int, stallMs);
    QVERIFY(m_server->resetControl());
    // The server offers 6.3, but its description does not arrive whole: the earlier one stays, and
    // the check goes by it.
    QVERIFY(m_server->control("update_version=6.3&package_size=1000&" + switches));
    QTemporaryDir dir;
    const QString programDir = dir.path();
    const QByteArray earlier = "6.2.368\r\nPluvik\r\n";
    for (const auto& [name, bytes] :
         {std::pair{"up.ini", upIni("6.2.368")}, std::pair{"update.txt", earlier}}) {
        QFile f(programDir + "/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Dialogs dialogs;
    QStringList messages;
    dialogs.setTestHook([&](const MessageRequest& request) {
        messages << request.text;
        return MessageAnswer::Ok;
    });
    QStringList opened;
    ShellOpener shell{dialogs};
    shell.setTestHook([&](QWidget*, const QUrl& url) { opened << url.toLocalFile(); });
    EngineCatalogue engines;
    Trace trace{QString()};
    QPointer<frmUpdate> dialog = new frmUpdate(dialogs, shell, engines, trace, programDir);
    const QNetworkProxy proxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), m_server->port());
    dialog->setSessionFactory([proxy, stallMs] {
        auto session = std::make_unique<QtInternetSession>();
        session->setProxy(proxy);
        if (stallMs > 0) session->setStallTimeout(stallMs);
        return session;
    });
    dialog->show();

    QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);

    QVERIFY(!dialog->isChecking());
    QVERIFY(dialog->findChild<QPushButton*>("Command1")->isEnabled());
    QFile description(programDir + "/update.txt");
    QVERIFY(description.open(QIODevice::ReadOnly));
    QCOMPARE(description.readAll(), earlier);
    QCOMPARE(filesIn(programDir), (QStringList{"up.ini", "update.txt"}));
    QCOMPARE(dialog->check().LatestVersion, std::string("6.2.368"));
    QVERIFY(opened.isEmpty());
    QVERIFY(m_server->requests([](const QJsonObject& r) { return r["path"] == "/Pluvik.rar"; }).isEmpty());
    QVERIFY2(!dialog->statusText().startsWith(QStringLiteral("共下载")), qPrintable(dialog->statusText()));
    delete dialog.data();
}

void FaultsTest::aDesktopThatCannotOpenSaysWhatWasNotOpened() {
    Dialogs dialogs;
    QStringList messages;
    dialogs.setTestHook([&](const MessageRequest& request) {
        messages << request.text;
        return MessageAnswer::Ok;
    });
    // No opener at all, and an opener that reports failure.
    ShellOpener missing(dialogs, QStringLiteral("/nonexistent/xdg-open"));
    missing.open(nullptr, QUrl("http://www.example.com/a?b=1"));
    QTRY_COMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith(QStringLiteral("无法打开网址：")));
    QVERIFY(messages[0].contains("http://www.example.com/a?b=1"));

    ShellOpener failing(dialogs, QStringLiteral("false"));
    failing.open(nullptr, QUrl::fromLocalFile("/tmp/更新/Pluvik.rar"));
    QTRY_COMPARE(messages.size(), 2);
    QVERIFY(messages[1].startsWith(QStringLiteral("无法打开文件：")));
    QVERIFY(messages[1].contains(QStringLiteral("/tmp/更新/Pluvik.rar")));
}

void FaultsTest::aCorrectedExtensionNeverReplacesAFileUnasked() {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("结果一.mht"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep") == 4);
    file.close();
    Dialogs dialogs;
    // The user typed 结果一.html and chose the web archive: the file written is 结果一.mht, which exists.
    dialogs.setSaveHook([&](const SavePathRequest&) {
        return std::optional<SavePathAnswer>(SavePathAnswer{dir.filePath(QStringLiteral("结果一.html")), 2});
    });
    const SavePathRequest request{QStringLiteral("保存网页 - 百度"), QString(),
                                  {QStringLiteral("网页，全部 (*.htm *.html)"), QStringLiteral("网页，仅 HTML (*.htm *.html)"),
                                   QStringLiteral("Web 档案，单个文件 (*.mht *.mhtml)")}};
    MessageAnswer answer = MessageAnswer::Cancel;
    QStringList asked;
    dialogs.setTestHook([&](const MessageRequest& r) {
        asked << r.text;
        return answer;
    });
    QVERIFY(!dialogs.askSavePath(nullptr, request));
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].contains(existing));
    answer = MessageAnswer::Ok;
    QCOMPARE(dialogs.askSavePath(nullptr, request)->path, existing);
}

QTEST_MAIN(FaultsTest)

#include "tst_faults.moc"

#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <map>

#include "platform/internet_session.h"
#include "platform/qt_text.h"
#include "support/app_fixture.h"
#include "support/update_files.h"
#include "search/engine_catalogue.h"
#include "update/engine_list.h"
#include "update/frm_update.h"
#include "update/status_line.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

const UpdateAddresses kAddresses{"http://update.test/up.txt", "http://update.test/Pluvik.rar"};
const std::string kListAddress = "http://update.test/engines.txt";
const QByteArray kMine = "# my own\r\nsogou=http://mine.example/?q={keyword}\r\n";

// The server side of a scripted session: answers by URL, and what the dialog did with them.
struct Script {
    struct Answer {
        int status = 200;
        QByteArray body;
        qint64 stallAt = -1;  // from this many bytes on, nothing more comes until the session is aborted
    };
    std::map<std::string, Answer> answers;
    // Runs before every read, inside the transfer (the dialog is live and its loop is on the stack).
    std::function<void(qint64 delivered)> beforeRead;
    // Runs once when a read stalls; the stall itself lasts until the session is aborted.
    std::function<void()> onStall;

    std::vector<std::string> opened;
    int sessions = 0;
    int liveSessions = 0;
    bool stallEnded = false;
};

class ScriptedUrl : public InternetUrl {
public:
    ScriptedUrl(Script& script, const Script::Answer& answer, const bool& aborted)
        : m_script(script), m_answer(answer), m_aborted(aborted) {}
    int statusCode() const override { return m_answer.status; }
    std::optional<std::int64_t> contentLength() const override { return m_answer.body.size(); }
    ReadResult read(char* buffer, std::size_t capacity) override {
        if (m_script.beforeRead) m_script.beforeRead(m_position);
        if (m_aborted) return {ReadStatus::Cancelled, 0};
        if (m_answer.stallAt >= 0 && m_position >= m_answer.stallAt) {
            // A server that has stopped sending: the window's events keep running meanwhile.
            if (m_script.onStall) QTimer::singleShot(0, m_script.onStall);
            while (!m_aborted) {
                QEventLoop idle;
                QTimer::singleShot(10, &idle, &QEventLoop::quit);
                idle.exec();
            }
            m_script.stallEnded = true;
            return {ReadStatus::Cancelled, 0};
        }
        const qint64 n = std::min<qint64>(static_cast<qint64>(capacity), m_answer.body.size() - m_position);
        if (n <= 0) return {ReadStatus::End, 0};
        std::memcpy(buffer, m_answer.body.constData() + m_position, static_cast<std::size_t>(n));
        m_position += n;
        return {ReadStatus::Data, static_cast<std::size_t>(n)};
    }

private:
    Script& m_script;
    Script::Answer m_answer;
    const bool& m_aborted;
    qint64 m_position = 0;
};

class ScriptedSession : public InternetSession {
public:
    explicit ScriptedSession(Script& script) : m_script(script) {
        ++m_script.sessions;
        ++m_script.liveSessions;
    }
    ~ScriptedSession() override { --m_script.liveSessions; }
    bool open(const std::string&) override { return !m_aborted; }
    std::unique_ptr<InternetUrl> openUrl(const std::string& url, CachePolicy, std::string*) override {
        m_script.opened.push_back(url);
        const auto found = m_script.answers.find(url);
        if (m_aborted || found == m_script.answers.end()) return nullptr;
        return std::make_unique<ScriptedUrl>(m_script, found->second, m_aborted);
    }
    void close() override {}
    void abort() override { m_aborted = true; }

private:
    Script& m_script;
    bool m_aborted = false;
};

// One dialog on a fresh program directory, wired to the script; package opens are recorded.
struct Harness {
    explicit Harness(QWidget* parent = nullptr) {
        app.shell.setTestHook([this](QWidget*, const QUrl& url) { opened << url.toLocalFile(); });
        dialog = new frmUpdate(app.dialogs, app.shell, app.engines, app.trace, app.programDir, parent);
        dialog->setAddresses(kAddresses);
        dialog->setSessionFactory([this] { return std::make_unique<ScriptedSession>(script); });
        dialog->show();
    }
    ~Harness() { delete dialog.data(); }

    void serve(const char* installed, const char* latest, const QByteArray& package, qint64 stallAt = -1) {
        app.writeProgramFile("up.ini", upIni(installed));
        script.answers[kAddresses.description] = {200, QByteArray(latest) + "\r\nPluvik\r\n"};
        script.answers[kAddresses.package] = {200, package, stallAt};
    }
    // A description naming an engines list that moves baidu and sogou, with sogou set by hand.
    void serveEngines() {
        serve("6.02", "6.02", packagePattern(100));
        script.answers[kAddresses.description].body += "engines=/engines.txt\r\n";
        script.answers[kListAddress] = {200,
                                        "# version=2026.12.1\r\nsogou=http://list.example/web?query={keyword}\r\n"
                                        "baidu=http://list.example/s?wd={keyword} utf-8\r\n# end\r\n"};
        app.writeProgramFile("engines.txt", kMine);
        app.engines.applyFile(toStd(app.programDir + "/engines.txt"));
    }
    QTreeWidget* engineRows() const { return dialog->findChild<QTreeWidget*>("lstEngines"); }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    QStringList programFiles() const { return QDir(app.programDir).entryList(QDir::Files); }
    bool packageRequested() const {
        return std::find(script.opened.begin(), script.opened.end(), kAddresses.package) !=
               script.opened.end();
    }

    AppFixture app;
    Script script;
    QPointer<frmUpdate> dialog;
    QStringList opened;
};

bool engineRowsShown(const Harness& h) {
    return h.engineRows() && h.engineRows()->isVisible();
}

}  // namespace

class UpdateDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsItsControlsAndTexts();
    void theSameVersionOnlyTellsTheUser();
    void noTransferStartsOnTopOfAnother();
    void closingDuringATransferGivesItUp();
    void destroyingTheWindowDuringATransferIsSafe();
    void anEnginesListChangesOnlyTheTickedEngines();
    void anEnginesFileThatCannotBeWrittenChangesNothing();
};

void UpdateDialogTest::showsItsControlsAndTexts() {
    Harness h;
    QCOMPARE(h.dialog->objectName(), QStringLiteral("frmUpdate"));
    QCOMPARE(h.dialog->windowTitle(), QStringLiteral("检查更新"));
    auto* lblCount = h.dialog->findChild<StatusLine*>("lblCount");
    auto* label1 = h.dialog->findChild<QLabel*>("Label1");
    QVERIFY(lblCount && label1);
    QCOMPARE(lblCount->text(), QStringLiteral("请点击“检查更新”查看是否有需要的更新。"));
    // The note names the folder the package goes to.
    QCOMPARE(label1->text(),
             QStringLiteral("如果下载完成后无法自动打开，请您到本软件安装目录（%1）下打开Pluvik.rar文件。")
                 .arg(QDir::toNativeSeparators(h.app.programDir)));
    QCOMPARE(h.button("Command1")->text(), QStringLiteral("检查更新"));
    QCOMPARE(h.button("Command2")->text(), QStringLiteral("退出"));
    // The check button sits on the left, the exit button on the right, below the texts.
    QVERIFY(h.button("Command1")->x() < h.button("Command2")->x());
    QVERIFY(label1->y() > lblCount->y());
    QVERIFY(h.button("Command1")->y() > label1->y());
    // Nothing happens before the click.
    QCOMPARE(h.script.sessions, 0);

    QTest::mouseClick(h.button("Command2"), Qt::LeftButton);
    QTRY_VERIFY(h.dialog.isNull());
}

void UpdateDialogTest::theSameVersionOnlyTellsTheUser() {
    Harness h;
    h.serve("6.02", "6.02", packagePattern(100));

    QTest::mouseClick(h.button("Command1"), Qt::LeftButton);

    QCOMPARE(h.app.messages.size(), size_t(1));
    const MessageRequest& box = h.app.messages.front();
    QCOMPARE(box.title, QStringLiteral("检查更新"));
    QCOMPARE(box.text, QStringLiteral("您目前使用的是最新版，无需更新。"));
    QCOMPARE(box.icon, MessageIcon::Information);
    QCOMPARE(box.buttons, MessageButtons::Ok);
    QVERIFY(!h.packageRequested());
    QVERIFY(h.opened.isEmpty());
    QVERIFY(!h.programFiles().contains("Pluvik.rar"));
}

void UpdateDialogTest::noTransferStartsOnTopOfAnother() {
    Harness h;
    h.serve("6.0", "6.02", packagePattern(10000));
    int attempts = 0;
    bool buttonsDisabled = false;
    h.script.beforeRead = [&](qint64 delivered) {
        if (delivered != 4096) return;
        ++attempts;
        buttonsDisabled = !h.button("Command1")->isEnabled() && !h.button("Command2")->isEnabled();
        // A click that reaches the handler anyway, and the exit button, which is disabled.
        h.dialog->Command1_Click();
        QTest::mouseClick(h.button("Command2"), Qt::LeftButton);
    };

    QTest::mouseClick(h.button("Command1"), Qt::LeftButton);

    QCOMPARE(attempts, 1);
    QVERIFY(buttonsDisabled);
    QVERIFY(h.button("Command1")->isEnabled() && h.button("Command2")->isEnabled());
    QCOMPARE(h.script.sessions, 1);
    QCOMPARE(h.script.opened.size(), size_t(2));
    QVERIFY(h.dialog && h.dialog->isVisible());
    QCOMPARE(h.app.readProgramFile("Pluvik.rar"), packagePattern(10000));
    QCOMPARE(h.opened, QStringList{h.app.programDir + "/Pluvik.rar"});
    QCOMPARE(h.dialog->statusText(), QStringLiteral("共下载 10000 字节"));
}

void UpdateDialogTest::closingDuringATransferGivesItUp() {
    Harness h;
    h.serve("6.0", "6.02", packagePattern(100000), 6144);
    bool hiddenAtOnce = false;
    h.script.onStall = [&] {
        QVERIFY(h.dialog->isChecking());
        h.dialog->close();
        hiddenAtOnce = !h.dialog->isVisible();
    };

    QTest::mouseClick(h.button("Command1"), Qt::LeftButton);

    QVERIFY(h.script.stallEnded);
    QVERIFY(hiddenAtOnce);
    QTRY_VERIFY(h.dialog.isNull());
    QVERIFY(h.opened.isEmpty());
    QVERIFY(h.app.messages.empty());
    QCOMPARE(h.programFiles(), QStringList{"up.ini"});
    QCOMPARE(h.script.liveSessions, 0);
}

void UpdateDialogTest::destroyingTheWindowDuringATransferIsSafe() {
    auto* owner = new QWidget;
    Harness h(owner);
    h.serve("6.0", "6.02", packagePattern(100000), 2048);
    h.script.onStall = [&] { delete owner; };

    // Called directly: the button that would be clicked goes away with the window.
    h.dialog->Command1_Click();

    QVERIFY(h.dialog.isNull());
    QVERIFY(h.script.stallEnded);
    QVERIFY(h.opened.isEmpty());
    QCOMPARE(h.programFiles(), QStringList{"up.ini"});
    QCOMPARE(h.script.liveSessions, 0);
}

void UpdateDialogTest::anEnginesListChangesOnlyTheTickedEngines() {
    Harness h;
    h.serveEngines();
    QVERIFY(!engineRowsShown(h));
    h.dialog->move(300, 300);
    const QPoint centre = h.dialog->geometry().center();

    QTest::mouseClick(h.button("Command1"), Qt::LeftButton);

    QTreeWidget* rows = h.engineRows();
    QVERIFY(rows->isVisible());
    QVERIFY(h.dialog->width() > 400);
    // It grew around its centre, as far as the screen allows (the test screen is narrower than it).
    QVERIFY(std::abs(h.dialog->geometry().center().y() - centre.y()) <= 1);
    QCOMPARE(rows->topLevelItemCount(), 2);
    QCOMPARE(rows->topLevelItem(0)->text(0), QStringLiteral("百度"));
    QCOMPARE(rows->topLevelItem(0)->text(3), QStringLiteral("http://list.example/s?wd={keyword} utf-8"));
    QCOMPARE(rows->topLevelItem(0)->checkState(0), Qt::Checked);
    // The user's own address: said so, and not ticked.
    QCOMPARE(rows->topLevelItem(1)->text(0), QStringLiteral("搜狗（您修改过）"));
    QCOMPARE(rows->topLevelItem(1)->text(2), QStringLiteral("http://mine.example/?q={keyword}"));
    QCOMPARE(rows->topLevelItem(1)->checkState(0), Qt::Unchecked);

    QTest::mouseClick(h.button("Command3"), Qt::LeftButton);

    QCOMPARE(h.app.engines.address(0, "ab").address, std::string("http://list.example/s?wd=ab"));
    QCOMPARE(h.app.engines.address(2, "ab").address, std::string("http://mine.example/?q=ab"));
    QCOMPARE(h.app.readProgramFile("engines.txt"), kMine + "baidu=http://list.example/s?wd={keyword} utf-8\r\n");
    QCOMPARE(h.dialog->statusText(), QStringLiteral("已更新 1 个引擎的地址。"));
    QVERIFY(!engineRowsShown(h));
    // The same list again offers nothing: the user has answered it.
    QTest::mouseClick(h.button("Command1"), Qt::LeftButton);
    QVERIFY(!engineRowsShown(h));
    QCOMPARE(h.dialog->width(), 400);
}

void UpdateDialogTest::anEnginesFileThatCannotBeWrittenChangesNothing() {
    Harness h;
    h.serveEngines();
    // A folder where the file goes: it can be neither read nor replaced.
    QFile::remove(h.app.programDir + "/engines.txt");
    QVERIFY(QDir(h.app.programDir).mkdir("engines.txt"));
    const AddressTemplate before = h.app.engines.current("baidu");
    QTest::mouseClick(h.button("Command1"), Qt::LeftButton);
    h.app.messages.clear();

    QTest::mouseClick(h.button("Command3"), Qt::LeftButton);

    QCOMPARE(h.app.messages.size(), size_t(1));
    QVERIFY(h.app.messages.front().text.startsWith(QStringLiteral("引擎地址未能保存：")));
    QCOMPARE(h.app.engines.current("baidu"), before);
    QVERIFY(!h.programFiles().contains(toQ(kEngineListRecordName)));
    QVERIFY(h.engineRows()->isVisible());
}

QTEST_MAIN(UpdateDialogTest)
#include "tst_update_dialog.moc"

// Files from pages with the real browser engine. Downloads: a page that starts a download gets the
// save dialog, the file arrives whole under the chosen name, failures and cancels leave nothing
// behind, and a page that starts download after download gets one dialog, not a storm. Printing to a
// PDF printer gives a whole PDF, even when the window goes while the job runs.

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

#include "platform/browser_view.h"
#include "shell/tab_strip.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"
#include "support/main_controls.h"
#include "windows/download_window.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

QByteArray served(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

class E2eDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void attachmentInAResultTabLandsWhole();
    void failedAndCancelledDownloadsLeaveNoFile();
    void aStormGetsOneDialogAndDownloadsRunTogether();
    void hostileNamesLandInsideTheChosenFolder();
    void savedPagesGetTheUmasksPermissions();
    void aPrintOutlivesItsWindow();  // the last case: the main window goes

private:
    DownloadRow* row(const QString& fileName) const;
    // Answers every save dialog with `folder/NAME` for the names given, in turn.
    void answerWith(QStringList names);

    EngineProgram m_program;
    MainWindow& m_window = *m_program.window;
    std::unique_ptr<QTemporaryDir> m_folder;  // where the files go, fresh for every test
    QList<SavePathRequest> m_asked;
};

void E2eDownloadTest::initTestCase() {
    QVERIFY2(m_program.server.isRunning(), qPrintable(m_program.server.errorString()));
    // The dialog starts in the user's download folder when there is one.
    QVERIFY(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)));
}

void E2eDownloadTest::init() {
    QVERIFY(m_program.server.resetControl());
    m_folder = std::make_unique<QTemporaryDir>();
    m_asked.clear();
}

DownloadRow* E2eDownloadTest::row(const QString& fileName) const {
    for (DownloadRow* r : m_program.downloads->window()->rows())
        if (r->fileName() == fileName) return r;
    return nullptr;
}

void E2eDownloadTest::answerWith(QStringList names) {
    m_program.dialogs.setSaveHook([this, names](const SavePathRequest& request) mutable {
        m_asked.append(request);
        if (names.isEmpty()) return std::optional<SavePathAnswer>();
        return std::optional<SavePathAnswer>(SavePathAnswer{m_folder->filePath(names.takeFirst()), 0});
    });
}

void E2eDownloadTest::attachmentInAResultTabLandsWhole() {
    answerWith({"chosen.bin"});
    resultTabs(m_window)->setCurrent(18);  // 软件
    resultBrowser(m_window, 18)->Navigate("http://soft.test/__download/%E8%BD%AF%E4%BB%B6%20setup.exe");

    QTRY_VERIFY_WITH_TIMEOUT(row("chosen.bin") && row("chosen.bin")->stateText() == "已完成", 30000);
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(m_asked[0].title, QStringLiteral("保存文件"));
    QCOMPARE(
        m_asked[0].suggestedPath,
        QDir(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)).filePath("软件 setup.exe"));
    QCOMPARE(contents(m_folder->filePath("chosen.bin")), served(200000));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"chosen.bin"});
    QCOMPARE(QDir(Downloads::defaultFolder()).entryList(QDir::Files), QStringList());
    QVERIFY(m_program.downloads->window()->isVisible());
    QVERIFY(row("chosen.bin")->progressText().startsWith("195 KB / 195 KB"));
    QVERIFY(!row("chosen.bin")->cancelButton()->isVisible());
}

void E2eDownloadTest::failedAndCancelledDownloadsLeaveNoFile() {
    // A file already under the name stays as it is unless a download completes.
    QFile old(m_folder->filePath("cancelled.bin"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();

    answerWith({"broken.bin", "cancelled.bin"});
    QVERIFY(m_program.server.control("download_truncate_at=50000"));
    resultBrowser(m_window, 17)->Navigate("http://bt.test/__download/broken.bin");
    QTRY_VERIFY_WITH_TIMEOUT(row("broken.bin") && row("broken.bin")->stateText().startsWith("下载失败："),
                             30000);

    QVERIFY(m_program.server.control("download_truncate_at=-1&download_bps=20000"));
    resultBrowser(m_window, 20)->Navigate("http://gougou.test/__download/cancelled.bin");
    QTRY_VERIFY_WITH_TIMEOUT(
        row("cancelled.bin") && !row("cancelled.bin")->progressText().startsWith("0 字节"), 30000);
    QVERIFY(row("cancelled.bin")->cancelButton()->isVisible());
    row("cancelled.bin")->cancelButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(row("cancelled.bin")->stateText(), QStringLiteral("已取消"), 30000);

    QTRY_COMPARE_WITH_TIMEOUT(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"cancelled.bin"},
                              10000);
    QCOMPARE(contents(m_folder->filePath("cancelled.bin")), QByteArray("old"));
    QTRY_COMPARE_WITH_TIMEOUT(QDir(Downloads::defaultFolder()).entryList(QDir::Files), QStringList(), 10000);
    QCOMPARE(m_program.traced("download_failed"), 1);
    QCOMPARE(m_program.traced("download_cancelled"), 1);
    QCOMPARE(m_program.traced("download_finished"), 1);  // only the one of the first test
}

void E2eDownloadTest::aStormGetsOneDialogAndDownloadsRunTogether() {
    // The first dialog stays open until the page has asked for every other download.
    m_program.dialogs.setSaveHook([this](const SavePathRequest& request) {
        m_asked.append(request);
        static_cast<void>(QTest::qWaitFor([this] { return m_program.traced("download_refused") >= 4; }, 30000));
        return std::optional<SavePathAnswer>(SavePathAnswer{m_folder->filePath("storm.bin"), 0});
    });
    resultBrowser(m_window, 0)->Navigate("http://storm.test/__bad/downloads?n=5");
    QTRY_VERIFY_WITH_TIMEOUT(row("storm.bin") && row("storm.bin")->stateText() == "已完成", 30000);
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(m_program.traced("download_refused"), 4);
    QCOMPARE(contents(m_folder->filePath("storm.bin")), served(200000));

    m_program.dialogs.setSaveHook([this](const SavePathRequest& request) {
        return std::optional<SavePathAnswer>(
            SavePathAnswer{m_folder->filePath(QFileInfo(request.suggestedPath).fileName()), 0});
    });
    QVERIFY(m_program.server.control("download_bps=50000"));
    resultBrowser(m_window, 17)->Navigate("http://bt.test/__download/one.bin");
    resultBrowser(m_window, 18)->Navigate("http://soft.test/__download/two.bin");
    const auto running = [this](const QString& name) {
        return row(name) && row(name)->stateText() == "正在下载" &&
               !row(name)->progressText().startsWith("0 字节");
    };
    QTRY_VERIFY_WITH_TIMEOUT(running("one.bin") && running("two.bin"), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(
        row("one.bin")->stateText() == "已完成" && row("two.bin")->stateText() == "已完成", 30000);
    QCOMPARE(contents(m_folder->filePath("one.bin")), served(200000));
    QCOMPARE(contents(m_folder->filePath("two.bin")), served(200000));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), (QStringList{"one.bin", "storm.bin", "two.bin"}));
}

void E2eDownloadTest::hostileNamesLandInsideTheChosenFolder() {
    const QDir downloads(Downloads::defaultFolder());
    QFile mine(downloads.filePath("exists.bin"));
    QVERIFY(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
    mine.close();
    QStringList proposed;
    m_program.dialogs.setSaveHook([&](const SavePathRequest& request) {
        proposed.append(request.suggestedPath);
        return std::optional<SavePathAnswer>(
            SavePathAnswer{m_folder->filePath(QFileInfo(request.suggestedPath).fileName()), 0});
    });
    const QStringList kinds{"dotdot", "absolute", "drive",  "control", "long",
                            "dots",   "reserved", "exists", "gbk",     "broken"};
    for (const QString& kind : kinds) {
        const int finished = m_program.traced("download_finished");
        resultBrowser(m_window, 18)->Navigate("http://soft.test/__hostile/" + kind);
        QTRY_VERIFY2_WITH_TIMEOUT(m_program.traced("download_finished") == finished + 1, qPrintable(kind),
                                  30000);
    }
    QStringList names;
    for (const QString& path : proposed) {
        QCOMPARE(QFileInfo(path).absolutePath(), downloads.absolutePath());
        const QString name = QFileInfo(path).fileName();
        QVERIFY2(name.toUtf8().size() <= 200 && !name.contains('/') && !name.startsWith('.'),
                 qPrintable(name));
        for (const QChar c : name) QVERIFY2(c.unicode() >= 0x20 && c.unicode() != 0x7f, qPrintable(name));
        names.append(name);
    }
    QCOMPARE(names.size(), kinds.size());
    // Where the engine's reading differs from version to version (controls, the cut, broken bytes),
    // only the name's kind.
    QVERIFY2(names[3].endsWith(".txt") && names[4].endsWith(".zip") && names[9].endsWith(".exe"),
             qPrintable(names.join(' ')));
    QCOMPARE((QStringList{names[0], names[1], names[2], names[5], names[6], names[7], names[8]}),
             (QStringList{"pluvik-escaped.sh", "pluvik-absolute.sh", "pluvik-drive.exe", "下载", "_CON.txt",
                          "exists (2).bin", "软件.exe"}));
    QStringList landed = QDir(m_folder->path()).entryList(QDir::Files);
    landed.sort();
    names.sort();
    QCOMPARE(landed, names);
    QCOMPARE(downloads.entryList(QDir::Files), QStringList{"exists.bin"});
    QCOMPARE(contents(downloads.filePath("exists.bin")), QByteArray("mine"));
    QVERIFY(!QFile::exists("/tmp/pluvik-absolute.sh"));
    QVERIFY(!QFile::exists(downloads.filePath("../../pluvik-escaped.sh")));
    QVERIFY(mine.remove());
}

void E2eDownloadTest::savedPagesGetTheUmasksPermissions() {
    BrowserView* view = resultBrowser(m_window, 3);
    QSignalSpy loaded(view, &BrowserView::DownloadComplete);
    view->Navigate("http://results.test/s?wd=abc");
    QTRY_VERIFY_WITH_TIMEOUT(loaded.count() > 0 && view->DocumentTitle() == "Result results.test", 30000);
    // The engine writes a web archive for its owner alone, and the whole page as the umask says.
    for (const mode_t mask : {022, 077}) {
        const mode_t before = ::umask(mask);
        for (const auto& [name, type] : {std::pair{"page.htm", 0}, std::pair{"page.mht", 2}}) {
            const QString path = m_folder->filePath(QString::number(mask, 8) + name);
            m_program.dialogs.setSaveHook([&](const SavePathRequest&) {
                return std::optional<SavePathAnswer>(SavePathAnswer{path, type});
            });
            const int saved = m_program.traced("page_saved");
            QVERIFY(view->ExecWB(BrowserCommand::SaveAs));
            QTRY_COMPARE_WITH_TIMEOUT(m_program.traced("page_saved"), saved + 1, 30000);
            QCOMPARE(modeOf(path), 0666 & ~mask);
            if (type == 0) {  // the whole page keeps its pictures and script in a folder beside it
                const QDir folder(m_folder->filePath(QString::number(mask, 8) + "page_files"));
                QCOMPARE(modeOf(folder.path()), 0777 & ~mask);
                const QStringList inside = folder.entryList(QDir::Files);
                QVERIFY(!inside.isEmpty());
                QCOMPARE(modeOf(folder.filePath(inside.first())), 0666 & ~mask);
            }
        }
        ::umask(before);
    }
}

void E2eDownloadTest::aPrintOutlivesItsWindow() {
    resultTabs(m_window)->setCurrent(3);
    BrowserView* view = resultBrowser(m_window, 3);
    QSignalSpy loaded(view, &BrowserView::DownloadComplete);
    view->Navigate("http://results.test/s?wd=abc");
    QTRY_VERIFY_WITH_TIMEOUT(loaded.count() > 0 && view->DocumentTitle() == "Result results.test", 30000);

    const QString pdf = m_folder->filePath("printed.pdf");
    m_program.dialogs.setPrintHook([&](QPrinter& printer, const QString&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    m_window.findChild<QAction*>("print")->trigger();
    // The window goes as soon as the printer has begun to write, with the job still running.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pdf), 60000);
    m_program.window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The job finishes all the same: a whole PDF.
    QTRY_VERIFY_WITH_TIMEOUT(contents(pdf).startsWith("%PDF-") && contents(pdf).trimmed().endsWith("%%EOF"),
                             60000);
}

ENGINE_TEST_MAIN(E2eDownloadTest)
#include "tst_e2e_download.moc"

// Save and print of a result page with the real browser engine: the browser's own save writes the
// page to disk, and printing to a PDF printer produces a PDF.

#include <QAction>
#include <QFile>
#include <QNetworkProxy>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QtTest>
#include <memory>

#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "platform/web_browser_view.h"
#include "search/main_window.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"
#include "support/app_fixture.h"
#include "support/main_controls.h"
#include "support/test_server.h"

using namespace pluvik;
using namespace pluvik::test;

class E2eSavePrintTest : public QObject {
    Q_OBJECT
private slots:
    void saveAndPrintTheCurrentResultPage();
};

void E2eSavePrintTest::saveAndPrintTheCurrentResultPage() {
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", server.port()));
    QTemporaryDir dir;
    const QString pdfPath = dir.filePath("printed.pdf");
    SettingsStore settings(toStd(dir.path()));
    Dialogs dialogs;
    Trace trace{QString()};
    QWebEngineProfile* profile = createSharedProfile(nullptr);
    {
        RecordingShell shell;
        WebBrowserFactory browsers(profile, QUrl("about:blank"), trace, dialogs, shell);
        const ProgramServices services{settings, browsers, dialogs, trace, shell, dir.path()};
        BrowseWindows windows(services);
        MemoryUrlHistoryStorage history;
        MemoryUrlCache cache;
        MainWindow window(AppContext{services, windows}, CleanerStores{history, cache});
        window.show();
        resultTabs(window)->setCurrent(3);
        BrowserView* view = resultBrowser(window, 3);
        QSignalSpy loaded(view, &BrowserView::DownloadComplete);
        view->Navigate("http://results.test/s?wd=abc");
        QTRY_VERIFY_WITH_TIMEOUT(loaded.count() > 0 && view->DocumentTitle() == "Result results.test", 30000);

        const QString savedPath = dir.filePath("saved.htm");
        dialogs.setSaveHook([&](const SavePathRequest&) {
            return std::optional<SavePathAnswer>(SavePathAnswer{savedPath, 1});  // HTML only
        });
        window.findChild<QAction*>("baocunjieguo")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(savedPath) && QFile(savedPath).size() > 50 * 1024, 30000);
        QFile saved(savedPath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("results.test"));

        dialogs.setPrintHook([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
            return true;
        });
        window.findChild<QAction*>("print")->trigger();
        // The window goes as soon as the printer has begun to write, with the job still running.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pdfPath), 60000);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The job finishes all the same: a whole PDF.
    const auto whole = [&] {
        QFile pdf(pdfPath);
        if (!pdf.open(QIODevice::ReadOnly)) return false;
        const QByteArray bytes = pdf.readAll();
        return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
    };
    QTRY_VERIFY_WITH_TIMEOUT(whole(), 60000);
    delete profile;
}

QTEST_MAIN(E2eSavePrintTest)
#include "tst_e2e_save_print.moc"

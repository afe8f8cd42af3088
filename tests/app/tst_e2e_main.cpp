// The real program, real Qt WebEngine, the local server as the proxy for every host: start-up and one
// search, typed as a user would.

#include <algorithm>

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

#include "search/engine_catalogue.h"
#include "search/engine_table.h"
#include "support/program_runner.h"
#include "support/test_server.h"

class TstE2eMain : public QObject {
    Q_OBJECT
private slots:
    void startUpWritesDefaultsAndFetchesTheVersionPage();
    void aChineseSearchReachesEveryEngine();
    void aSearchStoppedFromTheWaitWindowStaysStopped();
};

static bool xdotool(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");  // xdotool reads the text it types in the locale's encoding
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    const bool ok = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok) qWarning() << "xdotool" << args << p.readAllStandardError() << p.readAllStandardOutput();
    return ok;
}

// Asks an X window to close, as the window manager's close button does (WM_DELETE_WINDOW); the
// virtual display has no window manager of its own.
static bool closeWindow(const QString& windowId) {
    static const char kScript[] = R"(
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
class Message(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", Message), ("pad", ctypes.c_long * 24)]
display = x.XOpenDisplay(None)
if not display:
    sys.exit(1)
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33
event.xclient.window = window
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
sys.exit(0 if x.XSendEvent(display, window, 0, 0, ctypes.byref(event)) and x.XFlush(display) else 1)
)";
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kScript), windowId});
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Binds each character to a key of its own for the rest of the display's life. xdotool otherwise lends
// one spare key to each character in turn and takes it back a moment later; on a loaded machine the
// program may read the key only after that, as another character.
static bool bindKeys(const QString& characters) {
    static const char kScript[] = R"(
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
x.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.POINTER(ctypes.c_int)]
x.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                     ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
x.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
display = x.XOpenDisplay(None)
if not display:
    sys.exit(1)
low, high = ctypes.c_int(), ctypes.c_int()
x.XDisplayKeycodes(display, ctypes.byref(low), ctypes.byref(high))
per = ctypes.c_int()
table = x.XGetKeyboardMapping(display, low.value, high.value - low.value + 1, ctypes.byref(per))
wanted = [0x01000000 | ord(c) for c in sys.argv[1]]
mapped = {table[i] for i in range((high.value - low.value + 1) * per.value)}
wanted = [k for k in wanted if k not in mapped]
for code in range(high.value, low.value - 1, -1):
    if not wanted:
        break
    row = (code - low.value) * per.value
    if any(table[row + i] for i in range(per.value)):
        continue
    syms = (ctypes.c_ulong * 1)(wanted.pop())
    x.XChangeKeyboardMapping(display, code, 1, syms, 1)
x.XSync(display, 0)
sys.exit(1 if wanted else 0)
)";
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kScript), characters});
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// All 23 result tabs have shown the local start page.
static bool startPagesLoaded(ProgramRunner& program) {
    const QString startPage = QUrl::fromLocalFile(program.programDir() + "/Pluvik.htm").toString();
    return program.waitForTrace("load_finished", 60000, [&](const QJsonObject&) {
        int loaded = 0;
        for (const QJsonObject& e : program.traceEvents())
            if (e["event"] == "load_finished" && e["url"].toString() == startPage && e["ok"].toBool())
                ++loaded;
        return loaded >= 23;
    });
}

// Puts the focus into the keyword box with a click, as a user does.
static void clickKeywordBox(ProgramRunner& program) {
    QJsonObject shown;
    for (const QJsonObject& e : program.traceEvents())
        if (e["event"] == "main_window_shown") shown = e;
    QVERIFY(!shown.isEmpty());
    const QString x = QString::number(shown["keyword_x"].toInt());
    const QString y = QString::number(shown["keyword_y"].toInt());
    QVERIFY(xdotool({"mousemove", x, y, "click", "1"}));
    // The box has the focus once the program has handled the click; keys sent before that are lost.
    QTest::qWait(500);
}

void TstE2eMain::startUpWritesDefaultsAndFetchesTheVersionPage() {
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    ProgramRunner program(server.proxyUrl());
    QVERIFY2(program.isReady(), qPrintable(program.errorString()));
    QVERIFY(program.start());
    QVERIFY2(program.waitForTrace("main_window_shown", 60000), program.output().constData());
    QVERIFY(server.waitForRequest([](const QJsonObject& r) { return r["path"].toString() == "/6.2.368.htm"; },
                                  30000));

    QByteArray gn;
    for (int i = 0; i < 21; ++i) gn += " 1 \r\n";
    gn += "True\r\nFalse\r\n";
    QCOMPARE(ProgramRunner::readFile(program.programDir() + "/Gn.txt"), gn);
    QCOMPARE(ProgramRunner::readFile(program.programDir() + "/DIY.txt"),
             QByteArray(" 0 \r\n 0 \r\n\r\n\r\n\r\n\r\n"));

    QVERIFY(startPagesLoaded(program));

    // With the focus in the keyword box, whose line editing would take Ctrl+E on this desktop, the
    // menu's "退出" still gets it and the program ends.
    clickKeywordBox(program);
    QVERIFY(xdotool({"type", "abc"}));
    QVERIFY(xdotool({"key", "ctrl+e"}));
    QVERIFY2(program.waitForTrace("exit", 10000), program.output().constData());
    QVERIFY(program.waitForExit(20000));
}

void TstE2eMain::aChineseSearchReachesEveryEngine() {
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    ProgramRunner program(server.proxyUrl());
    QVERIFY(program.isReady());
    QVERIFY(program.start());
    QVERIFY(program.waitForTrace("main_window_shown", 60000));
    QVERIFY(startPagesLoaded(program));
    QVERIFY(bindKeys(QStringLiteral("你好")));
    clickKeywordBox(program);
    QVERIFY(xdotool({"type", "--delay", "100", "你好"}));
    QVERIFY(xdotool({"key", "Return"}));

    QVERIFY2(program.waitForTrace("search_started", 20000), program.output().constData());
    // Every built-in engine is asked exactly for its address, the keyword as percent-encoded GBK.
    for (int tab = 0; tab < pluvik::EngineTable::kBuiltInCount; ++tab) {
        const QString address =
            QString::fromStdString(pluvik::EngineCatalogue().address(tab, "你好").address);
        const bool seen = server.waitForRequest(
            [&](const QJsonObject& r) { return r["target"].toString() == address; }, 30000);
        if (!seen) {
            for (const QJsonObject& r : server.requests()) qWarning() << r["target"].toString();
        }
        QVERIFY2(seen, qPrintable(address));
    }
    QCOMPARE(QString::fromStdString(pluvik::EngineCatalogue().address(0, "你好").address),
             QStringLiteral("http://www.baidu.com/s?wd=%C4%E3%BA%C3"));
    // Tab 20 is loaded a second time three seconds later.
    const QString retry = QString::fromStdString(
        pluvik::EngineCatalogue().address(pluvik::EngineTable::kRetryTab, "你好").address);
    QVERIFY(server.waitForRequest(
        [&](const QJsonObject&) {
            return server.requests([&](const QJsonObject& r) { return r["target"].toString() == retry; })
                       .size() >= 2;
        },
        20000));
    // Every result page is laid out at the size of the tab, the hidden ones too (the page in the
    // shown tab reports "visible", the others "hidden"): the tab area is 985 pixels wide.
    const auto viewports = [&] {
        return server.requests([](const QJsonObject& r) {
            return r["path"].toString() == "/__viewport" && r["host"].toString() != "popup.test";
        });
    };
    QVERIFY(server.waitForRequest([&](const QJsonObject&) { return viewports().size() >= 21; }, 30000));
    int hidden = 0;
    for (const QJsonObject& r : viewports()) {
        const QUrlQuery report(r["query"].toString());
        QVERIFY2(report.queryItemValue("w").toInt() >= 900, qPrintable(r["target"].toString()));
        if (report.queryItemValue("vis") == "hidden") ++hidden;
    }
    QVERIFY(hidden >= 20);
    // The wait window goes by itself once the pages have opened.
    QVERIFY(program.waitForTrace("wait_closed", 30000));
    bool signalled = false;
    for (const QJsonObject& e : program.traceEvents()) signalled = signalled || e["event"] == "pages_opened";
    QVERIFY(signalled);
    // The user-defined engines are off: nothing but the engines, their page resources and the
    // version page was asked for (no page icon: no window shows one).
    for (const QJsonObject& r : server.requests()) {
        const QString path = r["path"].toString();
        if (path.startsWith("/__") || path == "/6.2.368.htm") continue;
        bool known = false;
        for (int tab = 0; tab < pluvik::EngineTable::kBuiltInCount && !known; ++tab)
            known = r["target"].toString() ==
                    QString::fromStdString(pluvik::EngineCatalogue().address(tab, "你好").address);
        QVERIFY2(known, qPrintable(r["target"].toString()));
    }
    program.terminate();
}

void TstE2eMain::aSearchStoppedFromTheWaitWindowStaysStopped() {
    TestServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    // The result pages take long to come, so the search is still loading when it is stopped.
    QVERIFY(server.control("page_delay_ms=60000"));
    ProgramRunner program(server.proxyUrl());
    QVERIFY(program.isReady());
    QVERIFY(program.start());
    QVERIFY(program.waitForTrace("main_window_shown", 60000));
    QVERIFY(startPagesLoaded(program));
    clickKeywordBox(program);
    QVERIFY(xdotool({"type", "stop"}));
    QVERIFY(xdotool({"key", "Return"}));
    QVERIFY2(program.waitForTrace("wait_shown", 20000), program.output().constData());
    QString waitWindow;
    qsizetype searched = 0;
    for (const QJsonObject& e : program.traceEvents()) {
        ++searched;
        if (e["event"] == "wait_shown") {
            waitWindow = e["window_id"].toString();
            break;
        }
    }
    // Tab 15, whose end of loading would signal opened pages, is loading the search.
    QVERIFY(program.waitForTrace("load_started", 20000, [&](const QJsonObject&) {
        const QList<QJsonObject> events = program.traceEvents().mid(searched);
        return std::any_of(events.begin(), events.end(), [](const QJsonObject& e) {
            return e["event"] == "load_started" && e["browser"] == "WebBrowser16";
        });
    }));

    // Closing the wait window asks whether to stop; OK stops the loading.
    const qsizetype beforeStop = program.traceEvents().size();
    QVERIFY(closeWindow(waitWindow));
    QVERIFY(
        xdotool({"search", "--sync", "--onlyvisible", "--name", "停止确认", "windowfocus", "--sync", "%1"}));
    QVERIFY(xdotool({"key", "Return"}));
    auto since = [&program, beforeStop] { return program.traceEvents().mid(beforeStop); };
    QVERIFY2(program.waitForTrace("status", 20000,
                                  [&](const QJsonObject&) {
                                      const QList<QJsonObject> events = since();
                                      return std::any_of(
                                          events.begin(), events.end(), [](const QJsonObject& e) {
                                              return e["event"] == "status" && e["text"] == "已停止打开";
                                          });
                                  }),
             program.output().constData());
    // The engine reports the stopped load of tab 15 as finished a moment later.
    const bool ended = program.waitForTrace("load_finished", 20000, [&](const QJsonObject&) {
        const QList<QJsonObject> events = since();
        return std::any_of(events.begin(), events.end(), [](const QJsonObject& e) {
            return e["event"] == "load_finished" && e["browser"] == "WebBrowser16";
        });
    });
    QVERIFY(ended);
    // Closing the main window is handled after that report has been: by the exit, nothing may
    // have signalled opened pages.
    QString mainWindow;
    for (const QJsonObject& e : program.traceEvents())
        if (e["event"] == "main_window_shown") mainWindow = e["window_id"].toString();
    QVERIFY(closeWindow(mainWindow));
    QVERIFY(program.waitForTrace("exit", 20000));
    for (const QJsonObject& e : since()) {
        QVERIFY2(e["event"] != "pages_opened", program.output().constData());
        QVERIFY(!(e["event"] == "status" && e["text"] == "已打开"));
    }
    program.terminate();
}

QTEST_GUILESS_MAIN(TstE2eMain)
#include "tst_e2e_main.moc"

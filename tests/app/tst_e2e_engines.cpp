// The engines' encodings and the engines file with the real browser engine, against the local test
// server as the proxy for every host: what each engine finally receives on the wire.

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "platform/qt_text.h"
#include "search/engine_addresses.h"
#include "support/engine_program.h"
#include "support/engine_test_main.h"
#include "support/main_controls.h"
#include "support/program_runner.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

constexpr int kTimeoutMs = 30000;

// "linux 内核" typed: the Latin letters as keys, the Chinese as an input method commits them.
void typeKeyword(QWidget* box) {
    QTest::keyClicks(box, QStringLiteral("linux "));
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("内核"));
    QApplication::sendEvent(box->focusProxy() ? box->focusProxy() : box, &commit);
}

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

}  // namespace

class E2eEnginesTest : public QObject {
    Q_OBJECT
private slots:
    void eachEngineReceivesTheKeywordInItsEncodingAtItsAddress();
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
    const auto received = [&](const QString& target) {
        return program.server.waitForRequest([&](const QJsonObject& r) { return r["target"] == target; },
                                             kTimeoutMs);
    };
    QVERIFY(received("http://diy.example/search?q=linux%20%E5%86%85%E6%A0%B8"));
    QVERIFY(received("http://sogou.example/web?ie=utf8&query=linux%20%E5%86%85%E6%A0%B8&from=pluvik"));

    program.window->findChild<QAction*>("mini")->trigger();
    QWidget* mini = topLevel(QStringLiteral("Miniform"));
    QVERIFY(mini);
    typeKeyword(mini->findChild<QLineEdit*>("Text1"));
    mini->findChild<QRadioButton*>("sogou")->click();
    QTest::keyClick(mini->findChild<QLineEdit*>("Text1"), Qt::Key_Return);
    // The mini window's own entry, in GBK.
    QVERIFY(received("http://m.sogou.example/web?query=linux%20%C4%DA%BA%CB"));
}

ENGINE_TEST_MAIN(E2eEnginesTest)

#include "tst_e2e_engines.moc"

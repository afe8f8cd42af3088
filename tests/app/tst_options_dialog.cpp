#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QtTest>

#include "options/options_dialog.h"
#include "options/options_target.h"
#include "platform/animation_rate.h"
#include "platform/qt_text.h"
#include "search/engine_table.h"
#include "support/app_fixture.h"

using namespace pluvik;
using namespace pluvik::test;

namespace {

// The main window's result tabs as the dialog sees them, with every call it made.
class FakeTarget : public OptionsTarget {
public:
    FakeTarget() : visible(23, true), captions(23) {
        visible[21] = visible[22] = false;
        captions[21] = "DIY1";
        captions[22] = "DIY2";
    }
    void setTabVisible(int tab, bool v) override {
        visible.at(static_cast<size_t>(tab)) = v;
        calls << QStringLiteral("%1 %2").arg(v ? "show" : "hide").arg(tab);
    }
    void setTabCaption(int tab, const QString& caption) override {
        captions.at(static_cast<size_t>(tab)) = caption;
        calls << QStringLiteral("caption %1 %2").arg(tab).arg(caption);
    }
    std::vector<bool> tabVisibility() const override { return visible; }
    QStringList callsOn(int tab) const {
        QStringList out;
        for (const QString& c : calls) {
            if (c.section(' ', 1, 1) == QString::number(tab)) out << c;
        }
        return out;
    }

    std::vector<bool> visible;
    std::vector<QString> captions;
    QStringList calls;
};

// A dialog opened on the fixture; deleted at the end of the test unless it closed itself.
struct OpenDialog {
    OpenDialog(AppFixture& app, FakeTarget& target) : dialog(new OptionsDialog(app.context(), target)) {
        dialog->show();
    }
    ~OpenDialog() { delete dialog; }
    template <class T>
    T* child(const char* name) const {
        T* w = dialog->findChild<T*>(QString::fromLatin1(name));
        if (!w) qWarning("no control %s", name);
        return w;
    }
    void click(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    // Lets a dialog that closed itself be deleted, as the event loop would.
    bool closedAndGone() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }
    QPointer<OptionsDialog> dialog;
};

QByteArrayList fileLines(const AppFixture& app, const QString& name) {
    QByteArrayList lines = app.readProgramFile(name).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines) l.chop(l.endsWith('\r') ? 1 : 0);
    return lines;
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlIsThereInItsPlace();
    void missingFilesAreWrittenWhileTheDialogShows();
    void applyHidesAtOnceAndCancelKeepsTheFiles();
    void aUserEngineTakesEffectOnOkOnly();
    void switchingOffTheSecondUserEngineKeepsItsCaption();
    void theLinkChoiceIsLiveAndSavedOnOk();
    void theAnimationChoiceAppliesAtOnceAndIsKeptApartFromTheSettings();
    void aFailedSaveTellsTheUserAndKeepsTheChoices();
    void uncheckingEverythingKeepsOneTabAndSaysSoOnce();
    void aHandEditedValueSurvivesUntilTheBoxIsClicked();
    void escapeActsLikeCancelAndTheMenuShowsTheOpenDialog();
};

void OptionsDialogTest::everyControlIsThereInItsPlace() {
    AppFixture app;
    FakeTarget target;
    OpenDialog d(app, target);
    QVERIFY(QTest::qWaitForWindowExposed(d.dialog));
    QVERIFY(!d.dialog->isModal());
    auto* pages = d.child<QTabWidget>("SSTab1");
    QCOMPARE(pages->count(), 4);
    QCOMPARE(pages->currentIndex(), 0);

    // The engines of the catalogue in rows of eight, left to right, all checked by default.
    for (int i = 0; i < EngineTable::kBuiltInCount; ++i) {
        auto* box = d.child<QCheckBox>(std::string(EngineTable::slot(i).field).c_str());
        QCOMPARE(box->text(), toQ(EngineTable::slot(i).boxCaption));
        QVERIFY(box->isChecked());
        if (i % 8 == 0) continue;
        auto* previous = d.child<QCheckBox>(std::string(EngineTable::slot(i - 1).field).c_str());
        QVERIFY(box->y() == previous->y() && box->x() > previous->x());
    }
    QVERIFY(d.child<QCheckBox>("zhongsou")->y() < d.child<QCheckBox>("shiping")->y());

    // The user engines start switched off; their labels lead to their boxes.
    for (int n = 1; n <= 2; ++n) {
        const QByteArray diy = "diy" + QByteArray::number(n);
        QVERIFY(!d.child<QCheckBox>("open" + diy)->isChecked());
        QCOMPARE(d.child<QLabel>(diy + "nameLabel")->buddy(), d.child<QLineEdit>(diy + "name"));
        QCOMPARE(d.child<QLabel>(diy + "urlLabel")->buddy(), d.child<QLineEdit>(diy + "url"));
    }
    QVERIFY(d.child<QRadioButton>("sousuo")->isChecked() && !d.child<QRadioButton>("ie")->isChecked());

    // The buttons sit below the pages, left to right.
    int previousLeft = -1;
    for (const char* name : {"cmdOK", "cmdCancel", "cmdApply"}) {
        auto* b = d.child<QPushButton>(name);
        QVERIFY(b->y() >= pages->geometry().bottom() && b->x() > previousLeft);
        previousLeft = b->x();
    }

    // Centred on the screen.
    const QRect screen = d.dialog->screen()->geometry();
    QVERIFY(qAbs(d.dialog->frameGeometry().center().x() - screen.center().x()) <= 16);
    QVERIFY(qAbs(d.dialog->frameGeometry().center().y() - screen.center().y()) <= 32);
}

void OptionsDialogTest::missingFilesAreWrittenWhileTheDialogShows() {
    AppFixture app;
    QList<bool> shownAtWrite;
    app.settings = std::make_unique<SettingsStore>(
        toStd(app.programDir),
        [&shownAtWrite](const std::filesystem::path& path, std::string_view bytes, std::string* error) {
            QWidget* dialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == "frmOptions") dialog = w;
            }
            shownAtWrite << (dialog && dialog->isVisible());
            return writeFileAtomically(path, bytes, error);
        });
    FakeTarget target;
    auto* dialog = new OptionsDialog(app.context(), target);
    QCOMPARE(shownAtWrite, (QList<bool>{true, true}));
    QCOMPARE(fileLines(app, "Gn.txt").size(), 23);
    QCOMPARE(fileLines(app, "DIY.txt").size(), 6);
    delete dialog;

    // With the files in place the dialog leaves showing itself to whoever opened it.
    OptionsDialog again(app.context(), target);
    QVERIFY(!again.isVisible());
    QCOMPARE(shownAtWrite.size(), 2);
}

void OptionsDialogTest::applyHidesAtOnceAndCancelKeepsTheFiles() {
    AppFixture app;
    FakeTarget target;
    {
        OpenDialog d(app, target);
        d.child<QCheckBox>("sogou")->click();
        d.click("cmdApply");
        QCOMPARE(target.calls.first(), QStringLiteral("hide 2"));
        QVERIFY(!target.visible[2]);
        QCOMPARE(target.callsOn(21), QStringList());
        QCOMPARE(fileLines(app, "Gn.txt")[2], QByteArray(" 1 "));
        d.click("cmdCancel");
        QVERIFY(d.closedAndGone());
    }
    QVERIFY(!target.visible[2]);
    QCOMPARE(fileLines(app, "Gn.txt")[2], QByteArray(" 1 "));
    QVERIFY(!app.settings->isLoaded());
    QCOMPARE(app.settings->current().sogou, 1);

    OpenDialog next(app, target);
    QVERIFY(next.child<QCheckBox>("sogou")->isChecked());
}

void OptionsDialogTest::aUserEngineTakesEffectOnOkOnly() {
    AppFixture app;
    FakeTarget target;
    OpenDialog d(app, target);
    d.child<QCheckBox>("opendiy1")->click();
    // Chinese text arrives through the input method.
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("我的搜索"));
    QCoreApplication::sendEvent(d.child<QLineEdit>("diy1name"), &typed);
    QTest::keyClicks(d.child<QLineEdit>("diy1url"), "http://s.example/?q=");
    QCOMPARE(d.child<QComboBox>("diy1encoding")->currentText(), QStringLiteral("GBK"));
    QTest::keyClick(d.child<QComboBox>("diy1encoding"), Qt::Key_Down);
    d.click("cmdApply");
    QCOMPARE(target.callsOn(21), QStringList());
    QCOMPARE(target.captions[21], QStringLiteral("DIY1"));

    target.calls.clear();
    d.click("cmdOK");
    QVERIFY(d.closedAndGone());
    QVERIFY(target.visible[21]);
    QCOMPARE(target.captions[21], QStringLiteral("我的搜索"));
    // Hide the unchecked, show the checked engines, then the user tab with its name.
    QStringList expected{"hide 22"};
    for (int tab = 0; tab <= 20; ++tab) expected << QStringLiteral("show %1").arg(tab);
    expected << "show 21" << QStringLiteral("caption 21 我的搜索");
    QCOMPARE(target.calls, expected);
    const QByteArrayList diy = fileLines(app, "DIY.txt");
    QCOMPARE(diy[0], QByteArray(" 1 "));
    QCOMPARE(diy[2], QByteArray("\xCE\xD2\xB5\xC4\xCB\xD1\xCB\xF7"));  // 我的搜索 in GBK
    QCOMPARE(diy[4], QByteArray("http://s.example/?q="));
    QCOMPARE(diy.mid(6), (QByteArrayList{"UTF-8", "GBK"}));
    QVERIFY(!app.settings->isLoaded());  // the next reader loads the saved files
    OpenDialog again(app, target);
    QCOMPARE(again.child<QComboBox>("diy1encoding")->currentText(), QStringLiteral("UTF-8"));
}

void OptionsDialogTest::switchingOffTheSecondUserEngineKeepsItsCaption() {
    AppFixture app;
    app.writeProgramFile("DIY.txt", " 0 \r\n 1 \r\n\r\nold\r\n\r\nhttp://t.example/?q=\r\n");
    FakeTarget target;
    target.visible[22] = true;
    target.captions[22] = "old";
    OpenDialog d(app, target);
    QVERIFY(d.child<QCheckBox>("opendiy2")->isChecked());
    QCOMPARE(d.child<QLineEdit>("diy2name")->text(), QStringLiteral("old"));
    d.child<QCheckBox>("opendiy2")->click();
    d.click("cmdOK");
    QVERIFY(!target.visible[22]);
    QCOMPARE(target.callsOn(22), QStringList{"hide 22"});
    QCOMPARE(target.captions[22], QStringLiteral("old"));
    QCOMPARE(fileLines(app, "DIY.txt"),
             (QByteArrayList{" 0 ", " 0 ", "", "old", "", "http://t.example/?q="}));
}

void OptionsDialogTest::theLinkChoiceIsLiveAndSavedOnOk() {
    AppFixture app;
    FakeTarget target;
    OpenDialog d(app, target);
    QVERIFY(app.settings->current().sousuo);
    d.child<QRadioButton>("ie")->click();
    QVERIFY(!app.settings->current().sousuo);
    QVERIFY(app.settings->current().ie);
    QCOMPARE(fileLines(app, "Gn.txt")[21], QByteArray("True"));  // nothing written yet
    d.child<QRadioButton>("sousuo")->click();
    QVERIFY(app.settings->current().sousuo);
    d.child<QRadioButton>("ie")->click();
    d.click("cmdOK");
    const QByteArrayList gn = fileLines(app, "Gn.txt");
    QCOMPARE(gn.size(), 23);
    QCOMPARE(gn[21], QByteArray("False"));
    QCOMPARE(gn[22], QByteArray("True"));
    QVERIFY(app.settings->current().ie);
}

void OptionsDialogTest::theAnimationChoiceAppliesAtOnceAndIsKeptApartFromTheSettings() {
    AppFixture app;
    FakeTarget target;
    {
        OpenDialog d(app, target);
        QVERIFY(d.child<QRadioButton>("biaozhun")->isChecked());
        d.child<QRadioButton>("shengdian")->click();
        QCOMPARE(app.animation->fps(), kStandardAnimationFps);  // a click alone changes nothing
        d.click("cmdApply");
        QCOMPARE(app.animation->fps(), kSaverAnimationFps);
        QVERIFY(app.readProgramFile(AnimationRate::kFileName).isEmpty());  // nor saves it
        d.child<QRadioButton>("liuchang")->click();
        d.click("cmdOK");
    }
    QCOMPARE(app.animation->fps(), 0);
    QCOMPARE(app.readProgramFile(AnimationRate::kFileName), QByteArray("smooth\n"));
    QCOMPARE(fileLines(app, "Gn.txt").size(), 23);  // the settings files as they always were
    QCOMPARE(fileLines(app, "DIY.txt").size(), 6);
    // The next start reads it back, and the dialog shows it.
    AnimationRate next(RenderPath::Software, app.programDir, app.trace);
    QCOMPARE(next.choice(), AnimationChoice::Smooth);
    app.animation->setChoice(next.choice());
    OpenDialog again(app, target);
    QVERIFY(again.child<QRadioButton>("liuchang")->isChecked());
}

void OptionsDialogTest::aFailedSaveTellsTheUserAndKeepsTheChoices() {
    AppFixture app;
    app.settings->LoadSettings();  // the files exist; the directory turns read-only afterwards
    const QByteArray gnBefore = app.readProgramFile("Gn.txt");
    app.settings = std::make_unique<SettingsStore>(
        toStd(app.programDir), [](const std::filesystem::path&, std::string_view, std::string* error) {
            *error = "Permission denied";
            return false;
        });
    FakeTarget target;
    OpenDialog d(app, target);
    d.child<QCheckBox>("sogou")->click();
    d.child<QRadioButton>("ie")->click();
    d.click("cmdOK");
    QCOMPARE(app.messages.size(), size_t(1));
    QVERIFY(app.messages[0].text.startsWith("设置无法保存："));
    QVERIFY(app.messages[0].text.contains("Permission denied"));
    QVERIFY(d.closedAndGone());
    QVERIFY(!target.visible[2]);
    QCOMPARE(app.readProgramFile("Gn.txt"), gnBefore);
    // The rest of this run follows what the user chose.
    QCOMPARE(app.settings->current().sogou, 0);
    QVERIFY(app.settings->current().ie);
}

void OptionsDialogTest::uncheckingEverythingKeepsOneTabAndSaysSoOnce() {
    AppFixture app;
    FakeTarget target;
    OpenDialog d(app, target);
    for (QCheckBox* box : d.dialog->pages()->widget(0)->findChildren<QCheckBox*>()) box->click();
    d.click("cmdApply");
    QCOMPARE(std::count(target.visible.begin(), target.visible.end(), true), 1);
    QVERIFY(target.visible[20]);
    QCOMPARE(app.messages.size(), size_t(1));
    QCOMPARE(app.messages[0].text,
             QStringLiteral("至少需要保留一个搜索引擎选项卡，最后一个选项卡未被关闭。"));
    d.click("cmdApply");
    d.click("cmdOK");
    QCOMPARE(app.messages.size(), size_t(1));
    QVERIFY(target.visible[20]);
    // The user's choice is still what is saved.
    QCOMPARE(fileLines(app, "Gn.txt")[20], QByteArray(" 0 "));
}

void OptionsDialogTest::aHandEditedValueSurvivesUntilTheBoxIsClicked() {
    AppFixture app;
    QByteArray gn;
    for (int i = 0; i < 21; ++i) gn += i == 3 || i == 4 ? " 2 \r\n" : " 1 \r\n";
    app.writeProgramFile("Gn.txt", gn + "True\r\nFalse\r\n");
    FakeTarget target;
    target.visible[3] = false;
    OpenDialog d(app, target);
    QCOMPARE(d.child<QCheckBox>("yahoo")->checkState(), Qt::PartiallyChecked);
    d.child<QCheckBox>("youdao")->click();
    QCOMPARE(d.child<QCheckBox>("youdao")->checkState(), Qt::Checked);
    d.child<QCheckBox>("youdao")->click();
    QCOMPARE(d.child<QCheckBox>("youdao")->checkState(), Qt::Unchecked);
    d.click("cmdOK");
    QCOMPARE(target.callsOn(3), QStringList());
    QVERIFY(!target.visible[3]);
    QVERIFY(!target.visible[4]);
    const QByteArrayList lines = fileLines(app, "Gn.txt");
    QCOMPARE(lines[3], QByteArray(" 2 "));
    QCOMPARE(lines[4], QByteArray(" 0 "));
}

void OptionsDialogTest::escapeActsLikeCancelAndTheMenuShowsTheOpenDialog() {
    AppFixture app;
    FakeTarget target;
    QPointer<OptionsDialog> instance;
    OptionsDialog* first = OptionsDialog::showOptions(instance, app.context(), target);
    QVERIFY(first->isVisible());
    QCOMPARE(first->pages()->currentIndex(), 0);
    first->pages()->setCurrentIndex(2);
    first->findChild<QCheckBox*>("baidu")->click();
    QCOMPARE(app.settings->current().baidu, 0);
    QCOMPARE(OptionsDialog::showOptions(instance, app.context(), target), first);
    QVERIFY(!first->findChild<QCheckBox*>("baidu")->isChecked());

    QTest::keyClick(first, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(instance.isNull());
    QCOMPARE(app.settings->current().baidu, 1);
    QCOMPARE(target.calls, QStringList());

    // A new opening starts on the first page with the stored values.
    OptionsDialog* second = OptionsDialog::showOptions(instance, app.context(), target);
    QCOMPARE(second->pages()->currentIndex(), 0);
    QVERIFY(second->findChild<QCheckBox*>("baidu")->isChecked());
    second->findChild<QCheckBox*>("baidu")->click();
    delete second;
    QCOMPARE(app.settings->current().baidu, 1);
}

QTEST_MAIN(OptionsDialogTest)
#include "tst_options_dialog.moc"

#include "support/app_fixture.h"

#include <QDir>
#include <QFile>

#include "platform/qt_text.h"

namespace pluvik::test {

AppFixture::AppFixture() {
    programDir = dir.filePath("program");
    QDir().mkpath(programDir);
    settings = std::make_unique<SettingsStore>(toStd(programDir));
    animation = std::make_unique<AnimationRate>(RenderPath::Software, programDir, trace,
                                                dir.filePath("no-power-supplies"));
    answerMessages(MessageAnswer::Ok);
    windows = std::make_unique<BrowseWindows>(services());
}

void AppFixture::writeProgramFile(const QString& name, const QByteArray& bytes) const {
    QFile f(programDir + "/" + name);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QByteArray AppFixture::readProgramFile(const QString& name) const {
    QFile f(programDir + "/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

FakeBrowserView* AppFixture::browser(const QString& objectName) const {
    for (const auto& view : browsers.created) {
        if (view && view->objectName() == objectName) return view;
    }
    return nullptr;
}

void AppFixture::answerMessages(MessageAnswer answer) {
    dialogs.setTestHook([this, answer](const MessageRequest& request) {
        messages.push_back(request);
        return answer;
    });
}

}  // namespace pluvik::test

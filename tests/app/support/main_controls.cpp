#include "support/main_controls.h"

#include <QApplication>
#include <QLabel>

namespace pluvik::test {

namespace {

template <class T>
T* part(const QWidget& main, const QString& name = {}) {
    T* found = main.findChild<T*>(name);
    if (!found) qFatal("the main window has no part named \"%s\"", qPrintable(name));
    return found;
}

}  // namespace

QComboBox* keywordBox(const QWidget& main) {
    return part<QComboBox>(main, QStringLiteral("Combo1"));
}

TabStrip* resultTabs(const QWidget& main) {
    return part<TabStrip>(main, QStringLiteral("SSTab1"));
}

BrowserView* resultBrowser(const QWidget& main, int tab) {
    return part<BrowserView>(main, QStringLiteral("WebBrowser%1").arg(tab + 1));
}

QString statusText(const QWidget& main) {
    return part<QLabel>(main, QStringLiteral("StatusBar1Text"))->text();
}

TrayController* tray(const QWidget& main) {
    return part<TrayController>(main);
}

WaitWindow* waitWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* wait = qobject_cast<WaitWindow*>(widget)) return wait;
    }
    qFatal("no wait window");
}

}  // namespace pluvik::test

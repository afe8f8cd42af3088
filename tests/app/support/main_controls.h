#pragma once

#include <QComboBox>
#include <QString>

#include "platform/browser_view.h"
#include "search/tray_controller.h"
#include "shell/tab_strip.h"
#include "shell/wait_window.h"

namespace pluvik::test {

// The main window's parts, found by their designer names as any tool would find them. A part that
// is missing fails the test at once.
QComboBox* keywordBox(const QWidget& main);                // Combo1
TabStrip* resultTabs(const QWidget& main);                 // SSTab1
BrowserView* resultBrowser(const QWidget& main, int tab);  // WebBrowser<tab + 1>
QString statusText(const QWidget& main);                   // StatusBar1Text
TrayController* tray(const QWidget& main);
// The one wait window `ready` of the program (it is a window of its own, not a child).
WaitWindow* waitWindow();

}  // namespace pluvik::test

#pragma once

#include <QString>

namespace pluvik {

class SettingsStore;
class BrowserFactory;
class Dialogs;
class Trace;

// What a window needs from the program, handed down by whoever creates it.
struct AppContext {
    SettingsStore& settings;
    BrowserFactory& browsers;
    Dialogs& dialogs;
    Trace& trace;
    QString programDir;
};

}  // namespace pluvik

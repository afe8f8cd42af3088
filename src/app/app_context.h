#pragma once

#include <QString>

namespace pluvik {

class SettingsStore;
class BrowserFactory;
class Dialogs;
class Trace;
class BrowseWindows;

// What a window needs from the program, handed down by whoever creates it.
struct AppContext {
    SettingsStore& settings;
    BrowserFactory& browsers;
    Dialogs& dialogs;
    Trace& trace;
    QString programDir;
    // The open secondary browser windows; set once the program has created the collection.
    BrowseWindows* browseWindows = nullptr;
};

}  // namespace pluvik

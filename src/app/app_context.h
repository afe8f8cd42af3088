#pragma once

#include <QString>

namespace pluvik {

class SettingsStore;
class BrowserFactory;
class Dialogs;
class Trace;
class BrowseWindows;
class ShellOpener;

// What a window needs from the program, handed down by whoever creates it.
struct AppContext {
    SettingsStore& settings;
    BrowserFactory& browsers;
    Dialogs& dialogs;
    Trace& trace;
    QString programDir;
    // The open secondary browser windows; set once the program has created the collection.
    BrowseWindows* browseWindows = nullptr;
    // Hands addresses to the desktop (the system web browser, the mail program).
    ShellOpener* shell = nullptr;
};

}  // namespace pluvik

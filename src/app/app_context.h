#pragma once

#include <QString>

namespace pluvik {

class SettingsStore;
class BrowserFactory;
class Dialogs;
class Trace;
class BrowseWindows;
class ShellOpener;
class UrlHistoryStorage;
class UrlCache;

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
    // What the trace cleaner cleans: the URL history of every browser, and the cookies and cache.
    UrlHistoryStorage* history = nullptr;
    UrlCache* urlCache = nullptr;
};

}  // namespace pluvik

#pragma once

#include <QString>

namespace pluvik {

class SettingsStore;
class EngineCatalogue;
class BrowserFactory;
class Dialogs;
class Trace;
class BrowseWindows;
class ShellOpener;
class AnimationRate;

// The program-wide services every window may use, made once in main() before any window.
struct ProgramServices {
    SettingsStore& settings;
    // Every engine's query address, the replaced ones included; replacements reach the next search.
    EngineCatalogue& engines;
    BrowserFactory& browsers;
    Dialogs& dialogs;
    Trace& trace;
    // Hands addresses to the desktop (the system web browser, the mail program, a downloaded package).
    ShellOpener& shell;
    QString programDir;
    // The frame rate of pages' own animations, which the options dialog lets the user choose.
    AnimationRate& animation;
};

// What a window gets from whoever creates it: the services, and the secondary browser windows in
// which links and new-window requests open. The collection is made right after the services, so
// it exists before any window can need it.
struct AppContext : ProgramServices {
    BrowseWindows& browseWindows;
};

}  // namespace pluvik

#pragma once

#include <QString>

namespace pluvik {

// The program directory holds the settings files, the INI file, the start page and update
// downloads: the directory of the executable, or PLUVIK_HOME when set (tests, portable copies).
QString programDirectory();

// Where the browser profile and the URL history live (the user's data and cache directories).
QString userDataDirectory();
QString userCacheDirectory();

// "<program directory>/Pluvik.htm": the local start page shown in every tab at start.
QString startPagePath(const QString& programDir);

}  // namespace pluvik

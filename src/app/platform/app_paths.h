#pragma once

#include <QString>
#include <QStringList>

namespace pluvik {

// The program directory holds the settings files, the INI file, the start page, the hosts file and
// update downloads. It is, in this order:
// - the directory named by PLUVIK_HOME (tests, portable copies);
// - the directory of the executable when the start page lies beside it (the build tree, an unpacked
//   copy);
// - otherwise the program is an installed copy (its data under <prefix>/share/pluvik, the executable
//   in <prefix>/bin, which the user may not write to; root can, so writability decides nothing): the
//   user's data directory, ~/.local/share/Pluvik, created on first start and given the start page and
//   up.ini from the installed data, never over a copy the user already has.
struct ProgramDirectory {
    enum class Kind { Environment, BesideExecutable, UserData };
    QString path;
    Kind kind = Kind::BesideExecutable;
    QString installedDataDir;  // <prefix>/share/pluvik, for a user data directory; may not exist
    QStringList seeded;        // the files copied in on this start
    bool usable = true;        // false when the user data directory could not be created
};

// Decides, and for a user data directory creates and seeds it. Never fails: a directory that cannot
// be created is still returned (the settings then stay on their defaults, as for any unwritable file).
ProgramDirectory resolveProgramDirectory(const QString& executableDir, const QString& pluvikHome,
                                         const QString& userDataDir);
// The same for this process: its executable, PLUVIK_HOME and QStandardPaths.
ProgramDirectory resolveProgramDirectory();
QString programDirectory();

QString kindName(ProgramDirectory::Kind kind);

// Where the browser profile and the URL history live (the user's data and cache directories).
QString userDataDirectory();
QString userCacheDirectory();

// "<program directory>/Pluvik.htm": the local start page shown in every tab at start.
QString startPagePath(const QString& programDir);

}  // namespace pluvik

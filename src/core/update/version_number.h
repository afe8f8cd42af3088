#pragma once

#include <string_view>

namespace pluvik {

// The number a version text stands for: its leading decimal number, read the way the program has
// always read numbers out of text. Blanks, tabs and line feeds are skipped anywhere (also between
// digits); then an optional sign, digits, an optional point with more digits and an optional exponent
// (E or D); "&H" and "&O" introduce hexadecimal and octal digits instead. Reading stops at the first
// character that cannot continue the number; a text without a leading number is 0.
//
// So "6.10" is 6.1 (older than "6.9"), and "6.02.0368" is 6.02.
double versionNumber(std::string_view text);

enum class VersionOrder { Older, Same, Newer };

// How the installed version stands against the latest one, compared as numbers.
VersionOrder compareVersions(std::string_view installed, std::string_view latest);

}  // namespace pluvik

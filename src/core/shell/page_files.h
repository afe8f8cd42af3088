#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pluvik {

// The resolution pages are printed at. The engine hands every page over as a picture at the
// printer's resolution; asked for "high" resolution a PDF printer takes 1200 dots per inch: over
// 500 MB and seconds of work per page. 300 print text sharply at a sixteenth of that.
inline constexpr int kPrintDotsPerInch = 300;

// The names the save and print dialogs propose for a page, and the extension a saved page gets.
// Texts are UTF-8.

// `text` as one file name: every character a file name cannot hold on the user's systems (the path
// separators / and \, the drive colon, * ? " < > |, control characters) becomes "_", blanks and dots
// at either end go (a leading dot would hide the file, "." and ".." are folders), and the name is cut
// to a length every file system takes, never inside a character. May be empty.
std::string fileNameFrom(std::string_view text);

// Whether a page's title is only its address, as the engine reports a page without a title of its
// own (with or without the scheme), or still holds percent escapes: nothing a user can read.
bool titleIsAddress(std::string_view title, std::string_view address);

// The name proposed for a page: its title when it is readable, otherwise the caption of its engine or
// tab and the keyword ("百度 天气预报"), otherwise "网页". Always a valid file name, without extension.
std::string proposedPageName(std::string_view title, std::string_view address, std::string_view owner,
                             std::string_view keyword);

// `name`, or, when an earlier dialog of the same run proposed it already, "name (2)", "name (3)"...;
// the result joins `taken`.
std::string distinctName(const std::string& name, std::set<std::string>& taken);

// The extensions of a file dialog's type ("Web 档案，单个文件 (*.mht *.mhtml)" gives "mht", "mhtml"),
// lower case, without the dot; none for "(*)".
std::vector<std::string> typeExtensions(std::string_view filter);

// `path` with the extension of the chosen type: kept when it is one of that type's, replaced when it
// belongs to another of the dialog's types, added otherwise ("天气.预报" gives "天气.预报.mht"). A type
// without extensions keeps the path as it is.
std::string pathForType(std::string_view path, const std::vector<std::string>& filters, int chosen);

}  // namespace pluvik

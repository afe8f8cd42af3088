#pragma once

#include <QString>

namespace pluvik {

// The script a page runs, in the world of the program's scripts, to say whether its title or the text
// it shows holds `keyword` as typed (true or false). The keyword goes in as JSON, so no keyword can
// break out of the script, and the page's text never crosses to the program.
//
// The whole text a page shows is built from its layout, a walk over every line of a long result list
// while the page's renderer is busy loading other tabs. Where the keyword stands in one piece of text
// (nearly always, on a page that shows it), that piece alone is asked whether it is laid out and
// visible; only a keyword that no visible piece holds whole (spread over marked-up words, or not
// shown at all) needs the whole text.
QString keywordCheckScript(const QString& keyword);

}  // namespace pluvik

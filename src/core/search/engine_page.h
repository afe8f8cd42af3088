#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/engine_health.h"
#include "search/engine_outcome.h"
#include "search/engine_table.h"

namespace pluvik {

// Whose search an engine serves.
enum class EngineWindow { Main, User, Mini, Dual };

// One line of the engines page: the window, the engine's place there (the main window's tab, the
// mini window's option, the dual window's pair side: pair * 2, left first), its health key and
// caption.
struct EngineRow {
    EngineWindow window;
    int index;
    std::string key;
    std::string caption;
};

// Every engine the program searches with, as the engines page lists them: the main window's 21,
// the user's two (captioned "DIY1", "DIY2": their names are the settings'), the mini window's, the
// dual window's sides.
std::vector<EngineRow> engineRows();

// The page's texts: the window's name, the result in a word or two, successes and failures over
// the kept searches ("17 / 3"), the median time ("230 毫秒"); empty when nothing is known yet.
std::string_view windowCaption(EngineWindow window);
std::string_view resultCaption(EngineResult result);
std::string countsText(const EngineHealth::Summary& summary);
std::string medianText(const EngineHealth::Summary& summary);
std::string_view encodingName(KeywordEncoding encoding);
// The address as the page shows it and the user edits it: the keyword's place written out.
std::string addressText(const AddressTemplate& address);

}  // namespace pluvik

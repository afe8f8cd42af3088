#pragma once

#include <array>
#include <string>
#include <string_view>

#include "search/service_hosts.h"

namespace pluvik {

// One engine of the mini window. Its own list, independent of the main window's tabs and of the
// engine switches in the settings: another order, and a Google query without the GB2312 hint.
struct MiniEngine {
    std::string option;   // name of the option button ("baidu", "bbs", ...)
    std::string caption;  // its caption
    Service service;
    std::string path;    // path on the service's host
    std::string query;   // query text before the keyword; empty when the keyword follows the path
    std::string suffix;  // text after the keyword, mostly empty
};

class MiniEngineTable {
public:
    static constexpr int kCount = 21;
    // The option selected when the window loads.
    static constexpr int kDefault = 0;

    // In the order in which the search examines the option buttons.
    static const std::array<MiniEngine, kCount>& all();
    static const MiniEngine& engine(int index) { return all().at(static_cast<size_t>(index)); }
    // Index of the option button with this name, -1 when there is none.
    static int indexOf(std::string_view option);

    // host + path + query + encoded keyword + suffix; std::out_of_range for an unknown index.
    static std::string address(int index, std::string_view keyword);
};

}  // namespace pluvik

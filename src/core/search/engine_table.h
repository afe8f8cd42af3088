#pragma once

#include <array>
#include <optional>
#include <string>

#include "search/service_hosts.h"

namespace pluvik {

// One result tab of the main window. Tab i holds browser WebBrowser(i+1).
struct EngineSlot {
    int tab;
    std::string caption;             // the tab caption ("DIY1"/"DIY2" at design for the user slots)
    std::optional<Service> service;  // empty for the two user-defined slots
    std::string path;                // path and query before the keyword
    std::string suffix;              // text after the keyword, mostly empty
    std::string field;               // the on/off field of Settings
};

class EngineTable {
public:
    static constexpr int kSlotCount = 23;
    static constexpr int kBuiltInCount = 21;
    static constexpr int kDiy1Tab = 21;
    static constexpr int kDiy2Tab = 22;
    static constexpr int kRetryTab = 20;       // the tab loaded a second time after a search
    static constexpr int kSignalTab = 15;      // the tab whose completion ends the wait
    static constexpr const char* kVersionPage = "/6.2.368.htm";
    static constexpr const char* kStartPage = "Pluvik.htm";

    static const std::array<EngineSlot, kSlotCount>& all();
    static const EngineSlot& slot(int tab) { return all().at(static_cast<size_t>(tab)); }

    // "http://host/path" for a built-in slot: everything of the query address before the keyword.
    static std::string prefix(int tab);
};

}  // namespace pluvik

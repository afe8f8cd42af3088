#pragma once

#include <array>
#include <string>
#include <string_view>

#include "search/service_hosts.h"

namespace pluvik {

// The four fixed engine pairs of the dual-screen window 双屏搜索: the first engine's results go to
// the left browser, the second's to the right one. Independent of the main window's engines.
struct DualPair {
    std::string option;  // "Option1" .. "Option4"
    std::string caption;
    Service left;
    std::string leftPrefix;  // path and query before the keyword
    Service right;
    std::string rightPrefix;
};

struct DualAddresses {
    std::string left;
    std::string right;
};

class DualPairTable {
public:
    static constexpr int kCount = 4;
    static constexpr int kDefault = 0;

    static const std::array<DualPair, kCount>& all();
    static const DualPair& pair(int index) { return all().at(static_cast<size_t>(index)); }

    // Both query addresses: host, prefix and the encoded keyword; std::out_of_range for an unknown
    // index.
    static DualAddresses addresses(int index, std::string_view keyword);
    // The pages the two browsers show when the window opens: the Baidu and the Google China home pages.
    static DualAddresses homePages();
};

}  // namespace pluvik

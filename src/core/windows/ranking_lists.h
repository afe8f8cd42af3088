#pragma once

#include <array>
#include <string>

#include "search/service_hosts.h"

namespace pluvik {

// The four outside hot-search lists of the ranking window 搜索排行榜, in the order its radio buttons
// are tested. The first one is shown when the window opens.
struct RankingList {
    std::string name;  // the radio button's name, which is also its caption
    Service service;
    std::string path;
};

class RankingListTable {
public:
    static constexpr int kCount = 4;
    static constexpr int kDefault = 0;

    static const std::array<RankingList, kCount>& all();
    static const RankingList& list(int index) { return all().at(static_cast<size_t>(index)); }
    // host + path; std::out_of_range for an unknown index.
    static std::string address(int index);
};

}  // namespace pluvik

#include "windows/ranking_lists.h"

namespace pluvik {

const std::array<RankingList, RankingListTable::kCount>& RankingListTable::all() {
    static const std::array<RankingList, kCount> kLists{{
        {"百度风云榜", Service::BaiduHotList, "/"},
        {"谷歌热榜", Service::GoogleChinaHome, "/rebang/home"},
        {"视频排行榜", Service::YoukuVideoSearch, "/search_top/"},
        {"音乐排行榜", Service::HaotingMusic, "/paihang.htm"},
    }};
    return kLists;
}

std::string RankingListTable::address(int index) {
    const RankingList& l = list(index);
    return serviceAddress(l.service) + l.path;
}

}  // namespace pluvik

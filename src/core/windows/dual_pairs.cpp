#include "windows/dual_pairs.h"

#include "search/query_address.h"

namespace pluvik {

const std::array<DualPair, DualPairTable::kCount>& DualPairTable::all() {
    static const std::array<DualPair, kCount> kPairs{{
        {"Option1", "百度+谷歌", Service::BaiduWeb, "/s?wd=", Service::GoogleChinaWeb,
         "/search?hl=zh-CN&ie=GB2312&q="},
        {"Option2", "雅虎+搜搜", Service::YahooChina, "/s?p=", Service::SosoWeb, "/q?pid=s.idx&w="},
        {"Option3", "有道+搜狗", Service::YoudaoWeb, "/search?q=", Service::SogouWeb, "/web?query="},
        // Yisou takes the keyword in the path, right after the colon.
        {"Option4", "易搜+中搜", Service::Yisou, "/search:", Service::Zhongsou, "/p?dt=1&pt=1&w="},
    }};
    return kPairs;
}

DualAddresses DualPairTable::addresses(int index, std::string_view keyword) {
    const DualPair& p = pair(index);
    const std::string encoded = encodeKeyword(keyword);
    return {serviceAddress(p.left) + p.leftPrefix + encoded,
            serviceAddress(p.right) + p.rightPrefix + encoded};
}

DualAddresses DualPairTable::homePages() {
    return {serviceAddress(Service::BaiduWeb) + "/", serviceAddress(Service::GoogleChinaHome) + "/"};
}

}  // namespace pluvik

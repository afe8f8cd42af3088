#include "windows/mini_engines.h"

#include "search/query_address.h"

namespace pluvik {

const std::array<MiniEngine, MiniEngineTable::kCount>& MiniEngineTable::all() {
    static const std::array<MiniEngine, kCount> kEngines{{
        {"baidu", "百度", Service::BaiduWeb, "/s", "?wd=", ""},
        {"google", "谷歌", Service::GoogleChinaWeb, "/search", "?hl=zh-CN&q=", ""},
        {"sogou", "搜狗", Service::SogouWeb, "/web", "?query=", ""},
        {"yahoo", "雅虎", Service::YahooChina, "/s", "?p=", ""},
        {"youdao", "有道", Service::YoudaoWeb, "/search", "?q=", ""},
        {"soso", "搜搜", Service::SosoWeb, "/q", "?pid=s.idx&w=", ""},
        {"zhongsou", "中搜", Service::Zhongsou, "/p", "?dt=1&pt=1&w=", ""},
        {"shiping", "视频", Service::YoukuVideoSearch, "/search_video/q_", "", ""},
        {"music", "音乐", Service::HaotingMusic, "/user/search2.asp", "?stype=Music&keyword=", ""},
        {"bbs", "论坛", Service::QihooWenda, "/wenda.php", "?kw=", "&do=search&area=2&src=wenda_tab"},
        {"draw", "图片", Service::BaiduImage, "/i", "?ct=201326592&lm=-1&word=", ""},
        {"blog", "博客", Service::GoogleChinaBlog, "/blogsearch", "?hl=zh-CN&ie=GB2312&q=", ""},
        {"dict", "词典", Service::Iciba, "/", "", ""},
        {"why", "问答", Service::QihooWenda, "/wenda.php", "?kw=", "&ff=1&do=search&noq=q&src=nindex"},
        {"taobao", "购物", Service::TaobaoAuction, "/browse/search_auction.htm", "?q=", ""},
        {"news", "新闻", Service::QihooNews, "/", "?kw=", ""},
        {"bt", "BT种子", Service::BtChina, "/btsearch.php", "?query=", ""},
        {"down", "软件", Service::SoftwarePortal, "/search.php", "?ss_name=", ""},
        {"baike", "百科", Service::BaiduBaike, "/w", "?ct=17&lm=0&tn=baiduWikiSearch&pn=0&rn=10&word=", ""},
        {"gougou", "狗狗", Service::Gougou, "/search", "?search=", ""},
        {"yisou", "易搜", Service::Yisou, "/search:", "", ""},
    }};
    return kEngines;
}

int MiniEngineTable::indexOf(std::string_view option) {
    for (int i = 0; i < kCount; ++i) {
        if (engine(i).option == option) return i;
    }
    return -1;
}

std::string MiniEngineTable::address(int index, std::string_view keyword) {
    const MiniEngine& e = engine(index);
    return serviceAddress(e.service) + e.path + e.query + encodeKeyword(keyword) + e.suffix;
}

}  // namespace pluvik

#include "search/engine_table.h"

namespace pluvik {

const std::array<EngineSlot, EngineTable::kSlotCount>& EngineTable::all() {
    static const std::array<EngineSlot, kSlotCount> kSlots{{
        {0, "百度", Service::BaiduWeb, "/s?wd=", "", "baidu"},
        {1, "谷歌", Service::GoogleChinaWeb, "/search?hl=zh-CN&ie=GB2312&q=", "", "google"},
        {2, "搜狗", Service::SogouWeb, "/web?query=", "", "sogou"},
        {3, "雅虎", Service::YahooChina, "/s?p=", "", "yahoo"},
        {4, "有道", Service::YoudaoWeb, "/search?ue=gbk&q=", "", "youdao"},
        {5, "搜搜", Service::SosoWeb, "/q?pid=s.idx&w=", "", "soso"},
        {6, "易搜", Service::Yisou, "/search:", "", "yisou"},
        {7, "中搜", Service::Zhongsou, "/p?dt=1&pt=1&w=", "", "zhongsou"},
        {8, "视频", Service::YoukuVideoSearch, "/search_video/q_", "", "shiping"},
        {9, "音乐", Service::HaotingMusic, "/user/search2.asp?stype=Music&keyword=", "", "music"},
        {10, "论坛", Service::QihooWenda, "/wenda.php?kw=", "&do=search&area=2&src=wenda_tab", "bbs"},
        {11, "图片", Service::BaiduImage, "/i?ct=201326592&lm=-1&word=", "", "draw"},
        {12, "博客", Service::GoogleChinaBlog, "/blogsearch?hl=zh-CN&ie=GB2312&q=", "", "blog"},
        {13, "词典", Service::Iciba, "/", "", "dict"},
        {14, "问答", Service::QihooWenda, "/wenda.php?kw=", "&ff=1&do=search&noq=q&src=nindex", "why"},
        {15, "购物", Service::TaobaoAuction, "/browse/search_auction.htm?q=", "", "taobao"},
        {16, "新闻", Service::QihooNews, "/?kw=", "", "news"},
        {17, "BT种子", Service::BtChina, "/btsearch.php?query=", "", "bt"},
        {18, "软件", Service::SoftwarePortal, "/search.php?ss_name=", "", "down"},
        {19, "百科", Service::BaiduBaike, "/w?ct=17&lm=0&tn=baiduWikiSearch&pn=0&rn=10&word=", "", "baike"},
        {20, "狗狗", Service::Gougou, "/search?search=", "", "gougou"},
        {21, "DIY1", std::nullopt, "", "", "opendiy1"},
        {22, "DIY2", std::nullopt, "", "", "opendiy2"},
    }};
    return kSlots;
}

std::string EngineTable::prefix(int tab) {
    const EngineSlot& s = slot(tab);
    if (!s.service) return {};
    return serviceAddress(*s.service) + s.path;
}

}  // namespace pluvik

#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/service_hosts.h"

namespace pluvik {

// Every engine the program knows: the main window's result tabs, the mini window's list and the dual
// window's pairs. An engine added here reaches the tabs, the options dialog, the settings check and
// the search; only a new on/off field of Settings (a file format decision) has to be added by hand.

// How an engine reads the keyword in its query address. GBK is what the engines of the catalogue
// read (and what the user's own engines read unless the user says otherwise).
enum class KeywordEncoding { Gbk, Utf8 };

// How an engine of the catalogue wants its query address: the service's scheme and host, the text
// before the keyword (path and query), the encoded keyword, the text after it.
struct QueryTemplate {
    Service service;
    std::string_view before;
    std::string_view after = {};
    KeywordEncoding encoding = KeywordEncoding::Gbk;
};

// A whole query address with the keyword's place, as the search builds it: the catalogue's template
// on its service's current host, a line of the engines file, or a user-defined engine.
struct AddressTemplate {
    std::string before;
    std::string after;
    KeywordEncoding encoding = KeywordEncoding::Gbk;
    bool operator==(const AddressTemplate&) const = default;
};

struct BuiltQuery {
    std::string address;
    // The keyword's characters that the engine's encoding lacks, in the order they first appear
    // (UTF-8); the address carries them as numeric character references.
    std::string references;
};

// The one builder of query addresses: the text before, the keyword encoded as encodeKeyword does in
// the template's encoding, the text after.
BuiltQuery buildQuery(const AddressTemplate& query, std::string_view keyword);
AddressTemplate onCurrentHost(const QueryTemplate& query);

// The key of each engine whose whole address the engines file (engines.txt) or the user may replace
// (EngineCatalogue): the settings name of a main-window engine ("baidu" .. "gougou"), "mini_" and the
// option name for the mini window's ("mini_baidu"), or the dual window's side keys ("dual_baidu",
// "dual_google", ...).
bool isEngineKey(std::string_view key);
// Every key in the order of the catalogue: the main window's, the mini window's, the dual window's.
std::vector<std::string> engineKeys();
// The catalogue's query of the engine with this key; std::out_of_range for an unknown key.
const QueryTemplate& engineQuery(std::string_view key);

// One result tab of the main window. Tab i holds browser WebBrowser(i+1).
struct EngineSlot {
    std::string_view caption;            // the tab caption ("DIY1"/"DIY2" at design for the user slots)
    std::optional<QueryTemplate> query;  // empty for the two user-defined slots
    std::string_view field;              // the on/off field of Settings, also the options box's name
    std::string_view boxCaption;         // the options box's caption
};

class EngineTable {
public:
    static constexpr std::array<EngineSlot, 23> kSlots{{
        {"百度", QueryTemplate{Service::BaiduWeb, "/s?wd="}, "baidu", "百度"},
        {"谷歌", QueryTemplate{Service::GoogleChinaWeb, "/search?hl=zh-CN&ie=GB2312&q="}, "google", "谷歌"},
        {"搜狗", QueryTemplate{Service::SogouWeb, "/web?query="}, "sogou", "搜狗"},
        {"雅虎", QueryTemplate{Service::YahooChina, "/s?p="}, "yahoo", "雅虎"},
        {"有道", QueryTemplate{Service::YoudaoWeb, "/search?ue=gbk&q="}, "youdao", "有道"},
        {"搜搜", QueryTemplate{Service::SosoWeb, "/q?pid=s.idx&w="}, "soso", "搜搜"},
        {"易搜", QueryTemplate{Service::Yisou, "/search:"}, "yisou", "易搜"},
        {"中搜", QueryTemplate{Service::Zhongsou, "/p?dt=1&pt=1&w="}, "zhongsou", "中搜"},
        {"视频", QueryTemplate{Service::YoukuVideoSearch, "/search_video/q_"}, "shiping", "视频"},
        {"音乐", QueryTemplate{Service::HaotingMusic, "/user/search2.asp?stype=Music&keyword="}, "music",
         "音乐"},
        {"论坛", QueryTemplate{Service::QihooWenda, "/wenda.php?kw=", "&do=search&area=2&src=wenda_tab"},
         "bbs", "论坛"},
        {"图片", QueryTemplate{Service::BaiduImage, "/i?ct=201326592&lm=-1&word="}, "draw", "图片"},
        {"博客", QueryTemplate{Service::GoogleChinaBlog, "/blogsearch?hl=zh-CN&ie=GB2312&q="}, "blog",
         "博客"},
        {"词典", QueryTemplate{Service::Iciba, "/"}, "dict", "词典"},
        {"问答", QueryTemplate{Service::QihooWenda, "/wenda.php?kw=", "&ff=1&do=search&noq=q&src=nindex"},
         "why", "问答"},
        {"购物", QueryTemplate{Service::TaobaoAuction, "/browse/search_auction.htm?q="}, "taobao", "购物"},
        {"新闻", QueryTemplate{Service::QihooNews, "/?kw="}, "news", "新闻"},
        {"BT种子", QueryTemplate{Service::BtChina, "/btsearch.php?query="}, "bt", "BT"},
        {"软件", QueryTemplate{Service::SoftwarePortal, "/search.php?ss_name="}, "down", "软件"},
        {"百科", QueryTemplate{Service::BaiduBaike, "/w?ct=17&lm=0&tn=baiduWikiSearch&pn=0&rn=10&word="},
         "baike", "百科"},
        {"狗狗", QueryTemplate{Service::Gougou, "/search?search="}, "gougou", "狗狗"},
        {"DIY1", std::nullopt, "opendiy1", ""},
        {"DIY2", std::nullopt, "opendiy2", ""},
    }};
    static constexpr int kSlotCount = static_cast<int>(kSlots.size());
    // The two user-defined slots come last.
    static constexpr int kBuiltInCount = kSlotCount - 2;
    static constexpr int kDiy1Tab = kBuiltInCount;
    static constexpr int kDiy2Tab = kBuiltInCount + 1;
    static constexpr int kRetryTab = 20;   // the tab loaded a second time after a search
    static constexpr int kSignalTab = 15;  // the tab whose completion ends the wait
    static constexpr const char* kVersionPage = "/6.2.368.htm";
    static constexpr const char* kStartPage = "Pluvik.htm";

    static const EngineSlot& slot(int tab) { return kSlots.at(static_cast<size_t>(tab)); }
};

// One engine of the mini window. Its own list, independent of the main window's tabs and of the
// engine switches in the settings: another order, and a Google query without the GB2312 hint.
struct MiniEngine {
    std::string_view option;  // name of the option button ("baidu", "bbs", ...)
    std::string_view caption;
    QueryTemplate query;
};

class MiniEngineTable {
public:
    // In the order in which the search examines the option buttons.
    static constexpr std::array<MiniEngine, 21> kEngines{{
        {"baidu", "百度", {Service::BaiduWeb, "/s?wd="}},
        {"google", "谷歌", {Service::GoogleChinaWeb, "/search?hl=zh-CN&q="}},
        {"sogou", "搜狗", {Service::SogouWeb, "/web?query="}},
        {"yahoo", "雅虎", {Service::YahooChina, "/s?p="}},
        {"youdao", "有道", {Service::YoudaoWeb, "/search?q="}},
        {"soso", "搜搜", {Service::SosoWeb, "/q?pid=s.idx&w="}},
        {"zhongsou", "中搜", {Service::Zhongsou, "/p?dt=1&pt=1&w="}},
        {"shiping", "视频", {Service::YoukuVideoSearch, "/search_video/q_"}},
        {"music", "音乐", {Service::HaotingMusic, "/user/search2.asp?stype=Music&keyword="}},
        {"bbs", "论坛", {Service::QihooWenda, "/wenda.php?kw=", "&do=search&area=2&src=wenda_tab"}},
        {"draw", "图片", {Service::BaiduImage, "/i?ct=201326592&lm=-1&word="}},
        {"blog", "博客", {Service::GoogleChinaBlog, "/blogsearch?hl=zh-CN&ie=GB2312&q="}},
        {"dict", "词典", {Service::Iciba, "/"}},
        {"why", "问答", {Service::QihooWenda, "/wenda.php?kw=", "&ff=1&do=search&noq=q&src=nindex"}},
        {"taobao", "购物", {Service::TaobaoAuction, "/browse/search_auction.htm?q="}},
        {"news", "新闻", {Service::QihooNews, "/?kw="}},
        {"bt", "BT种子", {Service::BtChina, "/btsearch.php?query="}},
        {"down", "软件", {Service::SoftwarePortal, "/search.php?ss_name="}},
        {"baike", "百科", {Service::BaiduBaike, "/w?ct=17&lm=0&tn=baiduWikiSearch&pn=0&rn=10&word="}},
        {"gougou", "狗狗", {Service::Gougou, "/search?search="}},
        {"yisou", "易搜", {Service::Yisou, "/search:"}},
    }};
    static constexpr int kCount = static_cast<int>(kEngines.size());
    // The option selected when the window loads.
    static constexpr int kDefault = 0;

    static const MiniEngine& engine(int index) { return kEngines.at(static_cast<size_t>(index)); }
    // Index of the option button with this name, -1 when there is none (tests name engines so).
    static int indexOf(std::string_view option);
    // The engine's key in the engines file: "mini_" and the option name.
    static std::string key(int index) { return "mini_" + std::string(engine(index).option); }
};

// The four fixed engine pairs of the dual-screen window 双屏搜索: the first engine's results go to
// the left browser, the second's to the right one. Independent of the main window's engines.
struct DualPair {
    std::string_view option;  // "Option1" .. "Option4"
    std::string_view caption;
    QueryTemplate left;
    QueryTemplate right;
    std::string_view leftKey;  // the sides' keys in the engines file
    std::string_view rightKey;
};

struct DualAddresses {
    std::string left;
    std::string right;
    std::string references;  // as BuiltQuery::references, of both sides together
};

class DualPairTable {
public:
    static constexpr std::array<DualPair, 4> kPairs{{
        {"Option1",
         "百度+谷歌",
         {Service::BaiduWeb, "/s?wd="},
         {Service::GoogleChinaWeb, "/search?hl=zh-CN&ie=GB2312&q="},
         "dual_baidu",
         "dual_google"},
        {"Option2",
         "雅虎+搜搜",
         {Service::YahooChina, "/s?p="},
         {Service::SosoWeb, "/q?pid=s.idx&w="},
         "dual_yahoo",
         "dual_soso"},
        {"Option3",
         "有道+搜狗",
         {Service::YoudaoWeb, "/search?q="},
         {Service::SogouWeb, "/web?query="},
         "dual_youdao",
         "dual_sogou"},
        // Yisou takes the keyword in the path, right after the colon.
        {"Option4",
         "易搜+中搜",
         {Service::Yisou, "/search:"},
         {Service::Zhongsou, "/p?dt=1&pt=1&w="},
         "dual_yisou",
         "dual_zhongsou"},
    }};
    static constexpr int kCount = static_cast<int>(kPairs.size());
    static constexpr int kDefault = 0;

    static const DualPair& pair(int index) { return kPairs.at(static_cast<size_t>(index)); }
    // The pages the two browsers show when the window opens: the Baidu and the Google China home pages.
    static DualAddresses homePages();
};

}  // namespace pluvik

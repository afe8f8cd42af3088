#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "search/engine_table.h"
#include "search/service_hosts.h"
#include "windows/ranking_lists.h"

using namespace pluvik;

namespace {

std::string host(Service s) {
    return serviceAddress(s);
}

struct MiniExpected {
    const char* option;
    Service service;
    const char* beforeKeyword;  // path and query
    const char* afterKeyword;
};

// The mini window's list, in the order its search examines the option buttons.
const MiniExpected kMini[] = {
    {"baidu", Service::BaiduWeb, "/s?wd=", ""},
    {"google", Service::GoogleChinaWeb, "/search?hl=zh-CN&q=", ""},
    {"sogou", Service::SogouWeb, "/web?query=", ""},
    {"yahoo", Service::YahooChina, "/s?p=", ""},
    {"youdao", Service::YoudaoWeb, "/search?q=", ""},
    {"soso", Service::SosoWeb, "/q?pid=s.idx&w=", ""},
    {"zhongsou", Service::Zhongsou, "/p?dt=1&pt=1&w=", ""},
    {"shiping", Service::YoukuVideoSearch, "/search_video/q_", ""},
    {"music", Service::HaotingMusic, "/user/search2.asp?stype=Music&keyword=", ""},
    {"bbs", Service::QihooWenda, "/wenda.php?kw=", "&do=search&area=2&src=wenda_tab"},
    {"draw", Service::BaiduImage, "/i?ct=201326592&lm=-1&word=", ""},
    {"blog", Service::GoogleChinaBlog, "/blogsearch?hl=zh-CN&ie=GB2312&q=", ""},
    {"dict", Service::Iciba, "/", ""},
    {"why", Service::QihooWenda, "/wenda.php?kw=", "&ff=1&do=search&noq=q&src=nindex"},
    {"taobao", Service::TaobaoAuction, "/browse/search_auction.htm?q=", ""},
    {"news", Service::QihooNews, "/?kw=", ""},
    {"bt", Service::BtChina, "/btsearch.php?query=", ""},
    {"down", Service::SoftwarePortal, "/search.php?ss_name=", ""},
    {"baike", Service::BaiduBaike, "/w?ct=17&lm=0&tn=baiduWikiSearch&pn=0&rn=10&word=", ""},
    {"gougou", Service::Gougou, "/search?search=", ""},
    {"yisou", Service::Yisou, "/search:", ""},
};

}  // namespace

TEST(MiniEngineTable, EveryEngineBuildsItsAddressInTheWindowsOrder) {
    static_assert(std::size(kMini) == MiniEngineTable::kCount);
    for (int i = 0; i < MiniEngineTable::kCount; ++i) {
        const MiniExpected& e = kMini[i];
        SCOPED_TRACE(e.option);
        EXPECT_EQ(MiniEngineTable::engine(i).option, e.option);
        EXPECT_EQ(MiniEngineTable::indexOf(e.option), i);
        EXPECT_EQ(MiniEngineTable::address(i, "abc").address,
                  host(e.service) + e.beforeKeyword + "abc" + e.afterKeyword);
    }
    EXPECT_EQ(MiniEngineTable::indexOf("nosuch"), -1);
    EXPECT_THROW(MiniEngineTable::address(MiniEngineTable::kCount, "abc"), std::out_of_range);
}

TEST(MiniEngineTable, DefaultIsBaiduWebSearchAndGoogleHasNoCharsetHint) {
    EXPECT_EQ(MiniEngineTable::address(MiniEngineTable::kDefault, "abc").address,
              "http://www.baidu.com/s?wd=abc");
    const std::string google = MiniEngineTable::address(MiniEngineTable::indexOf("google"), "abc").address;
    EXPECT_EQ(google.find("ie=GB2312"), std::string::npos);
    EXPECT_EQ(google, host(Service::GoogleChinaWeb) + "/search?hl=zh-CN&q=abc");
}

TEST(MiniEngineTable, KeywordGoesInLikeTheMainSearch) {
    const int bbs = MiniEngineTable::indexOf("bbs");
    // "中文" is D6D0 CEC4 in GBK; blanks and "&" are escaped.
    EXPECT_EQ(
        MiniEngineTable::address(bbs, "a b&中文").address,
        host(Service::QihooWenda) + "/wenda.php?kw=a%20b%26%D6%D0%CE%C4&do=search&area=2&src=wenda_tab");
    EXPECT_EQ(MiniEngineTable::address(MiniEngineTable::indexOf("yisou"), " ").address,
              host(Service::Yisou) + "/search:%20");
}

TEST(DualPairTable, EachPairSendsBothEnginesTheSameKeyword) {
    struct Expected {
        const char* caption;
        std::string left, right;
    };
    const Expected kPairs[] = {
        {"百度+谷歌",
         host(Service::BaiduWeb) + "/s?wd=", host(Service::GoogleChinaWeb) + "/search?hl=zh-CN&ie=GB2312&q="},
        {"雅虎+搜搜", host(Service::YahooChina) + "/s?p=", host(Service::SosoWeb) + "/q?pid=s.idx&w="},
        {"有道+搜狗", host(Service::YoudaoWeb) + "/search?q=", host(Service::SogouWeb) + "/web?query="},
        {"易搜+中搜", host(Service::Yisou) + "/search:", host(Service::Zhongsou) + "/p?dt=1&pt=1&w="},
    };
    for (int i = 0; i < DualPairTable::kCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DualPairTable::pair(i).option, "Option" + std::to_string(i + 1));
        EXPECT_EQ(DualPairTable::pair(i).caption, kPairs[i].caption);
        const DualAddresses a = DualPairTable::addresses(i, "abc");
        EXPECT_EQ(a.left, kPairs[i].left + "abc");
        EXPECT_EQ(a.right, kPairs[i].right + "abc");
    }
    EXPECT_THROW(DualPairTable::addresses(4, "abc"), std::out_of_range);
}

TEST(DualPairTable, YisouTakesTheKeywordInThePathAndAmpersandsStayInTheKeyword) {
    const DualAddresses abc = DualPairTable::addresses(3, "abc");
    EXPECT_EQ(abc.left, "http://www.yisou.com/search:abc");
    EXPECT_EQ(abc.right, "http://www.zhongsou.com/p?dt=1&pt=1&w=abc");

    const DualAddresses amp = DualPairTable::addresses(0, "tom&jerry");
    EXPECT_EQ(amp.left, "http://www.baidu.com/s?wd=tom%26jerry");
    EXPECT_EQ(amp.right, "http://www.google.cn/search?hl=zh-CN&ie=GB2312&q=tom%26jerry");

    EXPECT_EQ(DualPairTable::addresses(2, "中").right, host(Service::SogouWeb) + "/web?query=%D6%D0");
}

TEST(DualPairTable, HomePagesAreTheTwoRootPages) {
    const DualAddresses home = DualPairTable::homePages();
    EXPECT_EQ(home.left, host(Service::BaiduWeb) + "/");
    EXPECT_EQ(home.right, host(Service::GoogleChinaHome) + "/");
}

TEST(RankingListTable, FourListsWithTheirFixedPaths) {
    ASSERT_EQ(RankingListTable::kCount, 4);
    EXPECT_EQ(RankingListTable::list(RankingListTable::kDefault).name, "百度风云榜");
    EXPECT_EQ(RankingListTable::address(0), host(Service::BaiduHotList) + "/");
    EXPECT_EQ(RankingListTable::list(1).name, "谷歌热榜");
    EXPECT_EQ(RankingListTable::address(1), host(Service::GoogleChinaHome) + "/rebang/home");
    EXPECT_EQ(RankingListTable::list(2).name, "视频排行榜");
    EXPECT_EQ(RankingListTable::address(2), host(Service::YoukuVideoSearch) + "/search_top/");
    EXPECT_EQ(RankingListTable::list(3).name, "音乐排行榜");
    EXPECT_EQ(RankingListTable::address(3), host(Service::HaotingMusic) + "/paihang.htm");
    EXPECT_THROW(RankingListTable::address(-1), std::out_of_range);
}

#include "search/query_address.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "search/service_hosts.h"

using namespace pluvik;

namespace {

struct Expected {
    int tab;
    Service service;
    const char* path;
    const char* suffix;
};

// The paths and texts after the keyword are fixed by the engines; only the hosts are configuration.
const Expected kBuiltIn[] = {
    {0, Service::BaiduWeb, "/s?wd=", ""},
    {1, Service::GoogleChinaWeb, "/search?hl=zh-CN&ie=GB2312&q=", ""},
    {2, Service::SogouWeb, "/web?query=", ""},
    {3, Service::YahooChina, "/s?p=", ""},
    {4, Service::YoudaoWeb, "/search?ue=gbk&q=", ""},
    {5, Service::SosoWeb, "/q?pid=s.idx&w=", ""},
    {6, Service::Yisou, "/search:", ""},
    {7, Service::Zhongsou, "/p?dt=1&pt=1&w=", ""},
    {8, Service::YoukuVideoSearch, "/search_video/q_", ""},
    {9, Service::HaotingMusic, "/user/search2.asp?stype=Music&keyword=", ""},
    {10, Service::QihooWenda, "/wenda.php?kw=", "&do=search&area=2&src=wenda_tab"},
    {11, Service::BaiduImage, "/i?ct=201326592&lm=-1&word=", ""},
    {12, Service::GoogleChinaBlog, "/blogsearch?hl=zh-CN&ie=GB2312&q=", ""},
    {13, Service::Iciba, "/", ""},
    {14, Service::QihooWenda, "/wenda.php?kw=", "&ff=1&do=search&noq=q&src=nindex"},
    {15, Service::TaobaoAuction, "/browse/search_auction.htm?q=", ""},
    {16, Service::QihooNews, "/?kw=", ""},
    {17, Service::BtChina, "/btsearch.php?query=", ""},
    {18, Service::SoftwarePortal, "/search.php?ss_name=", ""},
    {19, Service::BaiduBaike, "/w?ct=17&lm=0&tn=baiduWikiSearch&pn=0&rn=10&word=", ""},
    {20, Service::Gougou, "/search?search=", ""},
};

std::string expectedAddress(const Expected& e, const std::string& encodedKeyword) {
    return serviceAddress(e.service) + e.path + encodedKeyword + e.suffix;
}

}  // namespace

TEST(QueryAddress, EveryBuiltInEngineForAsciiChineseAndReservedKeywords) {
    // Chinese characters go as GBK; reserved characters are escaped, whether the keyword lands in the
    // query or the path.
    const std::pair<const char*, const char*> keywords[] = {
        {"pluvik", "pluvik"},
        {"中文", "%D6%D0%CE%C4"},
        {"a b&c#d?e/f", "a%20b%26c%23d%3Fe%2Ff"},
    };
    for (const auto& [keyword, encoded] : keywords) {
        for (const Expected& e : kBuiltIn) {
            EXPECT_EQ(queryAddress(e.tab, keyword), expectedAddress(e, encoded))
                << "tab " << e.tab << ", keyword " << keyword;
        }
    }
}

TEST(QueryAddress, OnlyBuiltInTabsHaveOne) {
    EXPECT_THROW(queryAddress(-1, "x"), std::out_of_range);
    EXPECT_THROW(queryAddress(21, "x"), std::out_of_range);
    EXPECT_THROW(queryAddress(22, "x"), std::out_of_range);
}

TEST(EncodeKeyword, GbkEnginesGetGbkBytesAndReferencesForWhatGbkLacks) {
    struct Case {
        const char* keyword;
        const char* encoded;
        const char* references;
    };
    const Case cases[] = {
        {"", "", ""},
        {"a中b文", "a%D6%D0b%CE%C4", ""},  // runs of ASCII and non-ASCII mixed
        {"丂", "%81%40", ""},              // a GBK trail byte in ASCII range ('@') is encoded too
        {"é€", "%A8%A6%80", ""},           // the euro sign is 0x80, as browsers send it
        // Outside GBK (an emoji, an ideograph of the four-byte range): a form's numeric references,
        // each character named once.
        {"\xF0\x9F\x98\x80"
         "a\xF0\x9F\x98\x80"
         "\xF0\xA0\x80\x80",
         "%26%23128512%3Ba%26%23128512%3B%26%23131072%3B", "\xF0\x9F\x98\x80\xF0\xA0\x80\x80"},
        {"x\xFFy", "x%3Fy", ""},  // a malformed byte becomes '?', never a raw byte
    };
    for (const Case& c : cases) {
        const EncodedKeyword e = encodeKeyword(c.keyword, KeywordEncoding::Gbk);
        EXPECT_EQ(e.text, c.encoded) << c.keyword;
        EXPECT_EQ(e.references, c.references) << c.keyword;
    }
}

TEST(EncodeKeyword, ReservedAsciiIsEscapedAlikeInBothEncodingsAndTheRestSentAsTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"C++", "C%2B%2B"},
        {"AT&T", "AT%26T"},
        {"C#", "C%23"},
        {"100%", "100%25"},
        {"a=b/c;d?e", "a%3Db%2Fc%3Bd%3Fe"},
        {"%D6%D0", "%25D6%25D0"},  // a typed escape reaches the engine as typed text
        {" \t\x7F\"'<>~", "%20%09%7F%22%27%3C%3E%7E"},
        {"Az09*-._", "Az09*-._"},
    };
    for (const auto& [keyword, encoded] : cases) {
        EXPECT_EQ(encodeKeyword(keyword, KeywordEncoding::Gbk).text, encoded) << keyword;
        EXPECT_EQ(encodeKeyword(keyword, KeywordEncoding::Utf8).text, encoded) << keyword;
    }
}

TEST(EncodeKeyword, Utf8EnginesGetUtf8BytesOfEveryCharacter) {
    const EncodedKeyword e = encodeKeyword("linux 内核\xF0\x9F\x98\x80\xFF", KeywordEncoding::Utf8);
    EXPECT_EQ(e.text, "linux%20%E5%86%85%E6%A0%B8%F0%9F%98%80%3F");
    EXPECT_EQ(e.references, "");
}

TEST(DiyAddress, PrefixIsKeptAsTheUserWroteItAndTheKeywordTakesTheEnginesEncoding) {
    EXPECT_EQ(diyAddress("", KeywordEncoding::Gbk, "中 a&b").address, "%D6%D0%20a%26b");
    EXPECT_EQ(diyAddress("http://example.org/搜?q=", KeywordEncoding::Gbk, "文").address,
              "http://example.org/搜?q=%CE%C4");
    EXPECT_EQ(diyAddress("http://example.org/?q=", KeywordEncoding::Utf8, "文").address,
              "http://example.org/?q=%E6%96%87");
}

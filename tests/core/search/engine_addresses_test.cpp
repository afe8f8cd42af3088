#include "search/engine_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "search/query_address.h"
#include "search/service_hosts.h"
#include "shell/file_io.h"
#include "shell/text_codec.h"

using namespace pluvik;

namespace {

class EngineAddressesTest : public ::testing::Test {
protected:
    void TearDown() override {
        resetEngineAddresses();
        resetServiceOrigins();
    }
};

TEST_F(EngineAddressesTest, ReplacesWholeAddressesOfEachWindowByItsOwnKey) {
    // UTF-8 with a mark, a Chinese comment, CR LF, a key in capitals, a later line winning.
    const std::string file =
        "\xEF\xBB\xBF# 搜狗换了地址\r\n"
        "sogou=http://old.test/{keyword}\r\n"
        "sogou=https://www.sogou.com/web?ie=utf8&query={keyword}  UTF-8\r\n"
        "MINI_SOGOU=http://m.test/s/{keyword}.html gbk\r\n"
        "dual_google=http://g.test:8080?q={keyword}\r\n";
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "engines_ok.txt";
    ASSERT_TRUE(writeFileAtomically(path, file));
    const EngineAddresses result = applyEngineAddressesFile(path);
    EXPECT_TRUE(result.ignored.empty());
    EXPECT_EQ(result.addresses.size(), 4u);

    // A replaced address no longer follows the hosts file; the others still do.
    setServiceOrigin(Service::SogouWeb, "http://moved.test");
    EXPECT_EQ(queryAddress(2, "内 a"), "https://www.sogou.com/web?ie=utf8&query=%E5%86%85%20a");
    EXPECT_EQ(MiniEngineTable::address(MiniEngineTable::indexOf("sogou"), "内").address,
              "http://m.test/s/%C4%DA.html");
    const DualAddresses google = DualPairTable::addresses(0, "内");
    EXPECT_EQ(google.left, serviceAddress(Service::BaiduWeb) + "/s?wd=%C4%DA");
    EXPECT_EQ(google.right, "http://g.test:8080?q=%C4%DA");
    EXPECT_EQ(DualPairTable::addresses(2, "x").right, "http://moved.test/web?query=x");
    EXPECT_EQ(queryAddress(3, "x"), serviceAddress(Service::YahooChina) + "/s?p=x");
}

TEST_F(EngineAddressesTest, SkipsBadLinesAndSaysWhy) {
    const std::string file = utf8ToGbk(
        "just words\n"                                    // 1
        "百度=http://x.test/{keyword}\n"                  // 2
        "opendiy1=http://x.test/{keyword}\n"              // 3: the user's own engines are set in the options
        "baidu=ftp://x.test/{keyword}\n"                  // 4
        "baidu=www.baidu.com/s?wd={keyword}\n"            // 5
        "baidu=http://{keyword}.test/\n"                  // 6
        "baidu=http://x.test/s?wd=\n"                     // 7
        "baidu=http://x.test/{keyword}/{keyword}\n"       // 8
        "baidu=http://x.test/s?wd={keyword} big5\n"       // 9
        "baidu=http://x.test/s?wd={keyword} utf-8 gbk\n"  // 10
    );
    const EngineAddresses result = parseEngineAddresses(file);
    EXPECT_TRUE(result.addresses.empty());
    std::vector<std::string> reasons;
    for (const IgnoredLine& line : result.ignored) reasons.push_back(line.reason);
    EXPECT_EQ(reasons, (std::vector<std::string>{"no_equals_sign", "unknown_key", "unknown_key",
                                                 "bad_address", "bad_address", "bad_address", "keyword_place",
                                                 "keyword_place", "unknown_encoding", "unknown_encoding"}));
    EXPECT_EQ(result.ignored[1].text, "百度=http://x.test/{keyword}");
    EXPECT_EQ(result.ignored[9].line, 10);

    EXPECT_TRUE(
        applyEngineAddressesFile(std::filesystem::path(::testing::TempDir()) / "none.txt").ignored.empty());
    EXPECT_EQ(queryAddress(0, "x"), serviceAddress(Service::BaiduWeb) + "/s?wd=x");
}

}  // namespace

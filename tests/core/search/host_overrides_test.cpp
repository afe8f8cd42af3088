#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "search/engine_catalogue.h"
#include "search/host_overrides.h"
#include "search/service_hosts.h"
#include "shell/file_io.h"
#include "update/update_check.h"
#include "windows/open_link_decision.h"
#include "windows/ranking_lists.h"

using namespace pluvik;

namespace {

class HostOverridesTest : public ::testing::Test {
protected:
    void TearDown() override { resetServiceOrigins(); }
};

TEST_F(HostOverridesTest, MovesTheHostAndKeepsEveryPathAndQuery) {
    // A BOM, CR LF line ends, a GBK comment, blanks around the sign, a key in capitals, a key given
    // twice (the later one wins), a trailing slash.
    const std::string file =
        "\xEF\xBB\xBF# \xD6\xD0\xCE\xC4 comment\r\n"
        "\r\n"
        "baidu_web = https://Mirror.Example:8443/\r\n"
        "UPDATE_SERVER=http://updates.test\r\n"
        "sponsor_page=http://sponsor.test:81\r\n"
        "baidu_hot_list=http://first.test\r\n"
        "baidu_hot_list=http://[::1]:9000\r\n";
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "hosts_ok.txt";
    ASSERT_TRUE(writeFileAtomically(path, file));

    const HostOverrides result = applyHostOverridesFile(path);
    EXPECT_TRUE(result.ignored.empty());
    EXPECT_EQ(result.overrides.size(), 5u);

    EXPECT_EQ(EngineCatalogue().address(0, "abc").address, "https://mirror.example:8443/s?wd=abc");
    EXPECT_EQ(defaultUpdateAddresses().description, "http://updates.test/up.txt");
    EXPECT_EQ(makerAddress(MakerPage::Sponsor), "http://sponsor.test:81/sponsor.htm");
    EXPECT_EQ(RankingListTable::address(0), "http://[::1]:9000/");
    // Services the file does not name keep their hosts.
    EXPECT_EQ(EngineCatalogue().address(1, "abc").address,
              "http://www.google.cn/search?hl=zh-CN&ie=GB2312&q=abc");
}

TEST_F(HostOverridesTest, IgnoresBadLinesAndSaysWhich) {
    const std::string file =
        "just some words\n"                     // 1
        "bug_mail=http://mail.test\n"           // 2: the mail address has no host to move
        "no_such_engine=http://x.test\n"        // 3
        "sogou_web=ftp://x.test\n"              // 4
        "sogou_web=http://x.test/web?query=\n"  // 5
        "sogou_web=http://user@x.test\n"        // 6
        "sogou_web=http://x.test:0\n"           // 7
        "sogou_web=http://x.test:65536\n"       // 8
        "sogou_web=www.sogou.com\n"             // 9
        "sogou_web=http://\n"                   // 10
        "sogou_web=http://a..b\n"               // 11
        "\xB0\xD9\xB6\xC8=http://x.test\n"      // 12: a GBK key
        "sogou_web=\n";                         // 13
    const HostOverrides result = parseHostOverrides(file);
    EXPECT_TRUE(result.overrides.empty());
    ASSERT_EQ(result.ignored.size(), 13u);
    EXPECT_EQ(result.ignored[0].reason, "no_equals_sign");
    EXPECT_EQ(result.ignored[1].reason, "unknown_key");
    EXPECT_EQ(result.ignored[2].reason, "unknown_key");
    for (int i = 3; i <= 10; ++i) EXPECT_EQ(result.ignored[i].reason, "bad_address") << "line " << i + 1;
    EXPECT_EQ(result.ignored[11].line, 12);
    EXPECT_EQ(result.ignored[11].text, "百度=http://x.test");
    EXPECT_EQ(result.ignored[12].reason, "bad_address");
}

TEST_F(HostOverridesTest, AMissingFileChangesNothing) {
    const HostOverrides result =
        applyHostOverridesFile(std::filesystem::path(::testing::TempDir()) / "none.txt");
    EXPECT_TRUE(result.overrides.empty());
    EXPECT_TRUE(result.ignored.empty());
    EXPECT_EQ(serviceAddress(Service::BaiduWeb), "http://www.baidu.com");
}

TEST(ServiceKeys, EveryHostHasItsOwnKey) {
    for (int i = 0; i <= static_cast<int>(Service::BugMail); ++i) {
        const auto service = static_cast<Service>(i);
        const std::string_view key = serviceKey(service);
        if (service == Service::BugMail) {
            EXPECT_TRUE(key.empty());
            continue;
        }
        ASSERT_FALSE(key.empty()) << i;
        EXPECT_EQ(serviceForKey(key), service) << key;
    }
}

}  // namespace

#pragma once

#include <string>
#include <string_view>

namespace pluvik {

// Every outside service the program talks to, by a stable id. The addresses live together in one
// table (service_hosts.cpp), so a test setup, a mirror or a renamed site changes one place.
enum class Service {
    BaiduWeb,
    GoogleChinaWeb,
    SogouWeb,
    YahooChina,
    YoudaoWeb,
    SosoWeb,
    Yisou,
    Zhongsou,
    YoukuVideoSearch,
    HaotingMusic,
    QihooWenda,
    BaiduImage,
    GoogleChinaBlog,
    Iciba,
    TaobaoAuction,
    QihooNews,
    BtChina,
    SoftwarePortal,
    BaiduBaike,
    Gougou,
    BaiduHotList,
    GoogleChinaHome,
    // The maker's own sites and addresses.
    MakerVersionSite,
    ProductSite,
    MakerSite,
    MakerForum,
    MakerBlog,
    SponsorPage,
    SponsorGames,
    UpdateServer,
    BugMail,
};

// The scheme and host of a service, without a trailing slash: "http://www.baidu.com".
// For BugMail, the mail address itself.
const std::string& serviceAddress(Service service);

}  // namespace pluvik

#pragma once

#include <optional>
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

// The scheme and host of a service, without a trailing slash: "http://www.baidu.com"; the sponsor
// page carries its path as well. For BugMail, the mail address itself. The reference stays valid for
// the life of the program; its text changes only through setServiceOrigin.
const std::string& serviceAddress(Service service);

// The name a user writes for a service in the hosts file: the id in snake case ("baidu_web"). Empty
// for BugMail, which has no host to move.
std::string_view serviceKey(Service service);
std::optional<Service> serviceForKey(std::string_view key);

// Moves a service to another scheme, host and port ("https://mirror.example:8443"); a path the
// service's address carries stays. The origin is taken as given: the hosts-file reader checks it.
// Returns false, changing nothing, for a service without a key.
bool setServiceOrigin(Service service, std::string_view origin);
// Every service back at its built-in address (tests).
void resetServiceOrigins();

}  // namespace pluvik

#include "search/service_hosts.h"

#include <array>
#include <cstddef>

namespace pluvik {
namespace {

struct ServiceEntry {
    Service service;
    std::string_view key;
    std::string_view origin;
    std::string_view path;  // kept when the origin moves
};

constexpr std::size_t kServiceCount = static_cast<std::size_t>(Service::BugMail) + 1;

// The maker's sites are not public names the program can rely on, so they sit under the reserved
// example domains until the real ones are configured (see the hosts file in README).
constexpr std::array<ServiceEntry, kServiceCount> kServices{{
    {Service::BaiduWeb, "baidu_web", "http://www.baidu.com", ""},
    {Service::GoogleChinaWeb, "google_china_web", "http://www.google.cn", ""},
    {Service::SogouWeb, "sogou_web", "http://www.sogou.com", ""},
    {Service::YahooChina, "yahoo_china", "http://www.yahoo.cn", ""},
    {Service::YoudaoWeb, "youdao_web", "http://www.youdao.com", ""},
    {Service::SosoWeb, "soso_web", "http://www.soso.com", ""},
    {Service::Yisou, "yisou", "http://www.yisou.com", ""},
    {Service::Zhongsou, "zhongsou", "http://www.zhongsou.com", ""},
    {Service::YoukuVideoSearch, "youku_video_search", "http://so.youku.com", ""},
    {Service::HaotingMusic, "haoting_music", "http://www.haoting.com", ""},
    {Service::QihooWenda, "qihoo_wenda", "http://wenda.qihoo.com", ""},
    {Service::BaiduImage, "baidu_image", "http://image.baidu.com", ""},
    {Service::GoogleChinaBlog, "google_china_blog", "http://blogsearch.google.cn", ""},
    {Service::Iciba, "iciba", "http://www.iciba.com", ""},
    {Service::TaobaoAuction, "taobao_auction", "http://search1.taobao.com", ""},
    {Service::QihooNews, "qihoo_news", "http://news.qihoo.com", ""},
    {Service::BtChina, "bt_china", "http://search.btchina.net", ""},
    {Service::SoftwarePortal, "software_portal", "http://www.onlinedown.net", ""},
    {Service::BaiduBaike, "baidu_baike", "http://baike.baidu.com", ""},
    {Service::Gougou, "gougou", "http://www.gougou.com", ""},
    {Service::BaiduHotList, "baidu_hot_list", "http://top.baidu.com", ""},
    {Service::GoogleChinaHome, "google_china_home", "http://www.google.cn", ""},
    {Service::MakerVersionSite, "maker_version_site", "http://www.pluvik.example.com", ""},
    {Service::ProductSite, "product_site", "http://www.pluvik.example.com", ""},
    {Service::MakerSite, "maker_site", "http://studio.pluvik.example.org", ""},
    {Service::MakerForum, "maker_forum", "http://bbs.pluvik.example.org", ""},
    {Service::MakerBlog, "maker_blog", "http://blog.pluvik.example.org", ""},
    {Service::SponsorPage, "sponsor_page", "http://www.pluvik.example.com", "/sponsor.htm"},
    {Service::SponsorGames, "sponsor_games", "http://games.example.net", ""},
    {Service::UpdateServer, "update_server", "http://update.pluvik.example.com", ""},
    {Service::BugMail, "", "bug@pluvik.example.com", ""},
}};

constexpr bool inIdOrder() {
    for (std::size_t i = 0; i < kServiceCount; ++i) {
        if (static_cast<std::size_t>(kServices[i].service) != i) return false;
    }
    return true;
}
static_assert(inIdOrder(), "the table is indexed by the service id");

const ServiceEntry& entry(Service service) {
    return kServices[static_cast<std::size_t>(service)];
}

std::string builtInAddress(const ServiceEntry& e) {
    return std::string(e.origin) + std::string(e.path);
}

// The addresses in force, built once; the references serviceAddress hands out point in here.
std::array<std::string, kServiceCount>& addresses() {
    static std::array<std::string, kServiceCount> current = [] {
        std::array<std::string, kServiceCount> a;
        for (std::size_t i = 0; i < kServiceCount; ++i) a[i] = builtInAddress(kServices[i]);
        return a;
    }();
    return current;
}

}  // namespace

const std::string& serviceAddress(Service service) {
    const auto index = static_cast<std::size_t>(service);
    static const std::string kNone;
    return index < kServiceCount ? addresses()[index] : kNone;
}

std::string_view serviceKey(Service service) {
    const auto index = static_cast<std::size_t>(service);
    return index < kServiceCount ? kServices[index].key : std::string_view();
}

std::optional<Service> serviceForKey(std::string_view key) {
    if (key.empty()) return std::nullopt;
    for (const ServiceEntry& e : kServices) {
        if (e.key == key) return e.service;
    }
    return std::nullopt;
}

bool setServiceOrigin(Service service, std::string_view origin) {
    if (serviceKey(service).empty()) return false;
    const ServiceEntry& e = entry(service);
    addresses()[static_cast<std::size_t>(service)] = std::string(origin) + std::string(e.path);
    return true;
}

void resetServiceOrigins() {
    for (std::size_t i = 0; i < kServiceCount; ++i) addresses()[i] = builtInAddress(kServices[i]);
}

}  // namespace pluvik

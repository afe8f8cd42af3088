#include "search/service_hosts.h"

#include <array>
#include <utility>

namespace pluvik {
namespace {

// The maker's sites are not public names the program can rely on, so they sit under the reserved
// example domains until the real ones are configured.
const std::array<std::pair<Service, std::string>, 31> kServices{{
    {Service::BaiduWeb, "http://www.baidu.com"},
    {Service::GoogleChinaWeb, "http://www.google.cn"},
    {Service::SogouWeb, "http://www.sogou.com"},
    {Service::YahooChina, "http://www.yahoo.cn"},
    {Service::YoudaoWeb, "http://www.youdao.com"},
    {Service::SosoWeb, "http://www.soso.com"},
    {Service::Yisou, "http://www.yisou.com"},
    {Service::Zhongsou, "http://www.zhongsou.com"},
    {Service::YoukuVideoSearch, "http://so.youku.com"},
    {Service::HaotingMusic, "http://www.haoting.com"},
    {Service::QihooWenda, "http://wenda.qihoo.com"},
    {Service::BaiduImage, "http://image.baidu.com"},
    {Service::GoogleChinaBlog, "http://blogsearch.google.cn"},
    {Service::Iciba, "http://www.iciba.com"},
    {Service::TaobaoAuction, "http://search1.taobao.com"},
    {Service::QihooNews, "http://news.qihoo.com"},
    {Service::BtChina, "http://search.btchina.net"},
    {Service::SoftwarePortal, "http://www.onlinedown.net"},
    {Service::BaiduBaike, "http://baike.baidu.com"},
    {Service::Gougou, "http://www.gougou.com"},
    {Service::BaiduHotList, "http://top.baidu.com"},
    {Service::GoogleChinaHome, "http://www.google.cn"},
    {Service::MakerVersionSite, "http://www.pluvik.example.com"},
    {Service::ProductSite, "http://www.pluvik.example.com"},
    {Service::MakerSite, "http://studio.pluvik.example.org"},
    {Service::MakerForum, "http://bbs.pluvik.example.org"},
    {Service::MakerBlog, "http://blog.pluvik.example.org"},
    {Service::SponsorPage, "http://www.pluvik.example.com/sponsor.htm"},
    {Service::SponsorGames, "http://games.example.net"},
    {Service::UpdateServer, "http://update.pluvik.example.com"},
    {Service::BugMail, "bug@pluvik.example.com"},
}};

}  // namespace

const std::string& serviceAddress(Service service) {
    for (const auto& [id, address] : kServices) {
        if (id == service) return address;
    }
    static const std::string kNone;
    return kNone;
}

}  // namespace pluvik

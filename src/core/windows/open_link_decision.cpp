#include "windows/open_link_decision.h"

#include "search/service_hosts.h"

namespace pluvik {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

bool isWebAddress(std::string_view address) {
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (startsWithNoCase(address, scheme) && address.size() > scheme.size()) return true;
    }
    return false;
}

LinkDecision decideOpenLink(bool sousuo, std::string_view address) {
    if (!isWebAddress(address)) return {LinkRoute::Ignore, std::string(address)};
    return {sousuo ? LinkRoute::NewBrowseWindow : LinkRoute::Shell, std::string(address)};
}

std::string makerAddress(MakerPage page) {
    switch (page) {
        case MakerPage::Help:
            return serviceAddress(Service::ProductSite) + "/help.htm";
        case MakerPage::ProductHome:
            return serviceAddress(Service::ProductSite) + "/";
        case MakerPage::MakerHome:
            return serviceAddress(Service::MakerSite) + "/";
        case MakerPage::Forum:
            return serviceAddress(Service::MakerForum) + "/";
        case MakerPage::Blog:
            return serviceAddress(Service::MakerBlog) + "/";
        case MakerPage::Sponsor:
            return serviceAddress(Service::SponsorPage);
        case MakerPage::Games:
            return serviceAddress(Service::SponsorGames);
    }
    return {};
}

std::string bugReportAddress() {
    return "mailto:" + serviceAddress(Service::BugMail) + "?subject=Pluvik BUG";
}

}  // namespace pluvik

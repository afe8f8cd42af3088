#include "windows/open_link_decision.h"

#include <gtest/gtest.h>

#include "search/service_hosts.h"

using namespace pluvik;

TEST(OpenLinkDecision, TheLinkSettingChoosesTheProgramsWindowOrTheShell) {
    const LinkDecision own = decideOpenLink(true, "http://www.pluvik.example.com/help.htm");
    EXPECT_EQ(own.route, LinkRoute::NewBrowseWindow);
    EXPECT_EQ(own.address, "http://www.pluvik.example.com/help.htm");

    const LinkDecision shell = decideOpenLink(false, "https://Example.org/a?b=c&d");
    EXPECT_EQ(shell.route, LinkRoute::Shell);
    EXPECT_EQ(shell.address, "https://Example.org/a?b=c&d");
    EXPECT_EQ(decideOpenLink(false, "HTTP://EXAMPLE.ORG/").route, LinkRoute::Shell);
}

TEST(OpenLinkDecision, AnythingButAWebAddressIsOpenedNowhere) {
    for (const char* address :
         {"", "http://", "file:///etc/passwd", "javascript:alert(1)", "C:\\Windows\\calc.exe", "calc",
          "mailto:a@b.c", " http://example.org/", "httpx://example.org/"}) {
        SCOPED_TRACE(address);
        EXPECT_FALSE(isWebAddress(address));
        EXPECT_EQ(decideOpenLink(false, address).route, LinkRoute::Ignore);
        EXPECT_EQ(decideOpenLink(true, address).route, LinkRoute::Ignore);
    }
}

TEST(MakerAddresses, EveryLinkOfTheMenusAndDialogsIsAWebAddressWithItsPath) {
    EXPECT_EQ(makerAddress(MakerPage::Help), serviceAddress(Service::ProductSite) + "/help.htm");
    EXPECT_EQ(makerAddress(MakerPage::ProductHome), serviceAddress(Service::ProductSite) + "/");
    EXPECT_EQ(makerAddress(MakerPage::MakerHome), serviceAddress(Service::MakerSite) + "/");
    EXPECT_EQ(makerAddress(MakerPage::Forum), serviceAddress(Service::MakerForum) + "/");
    EXPECT_EQ(makerAddress(MakerPage::Blog), serviceAddress(Service::MakerBlog) + "/");
    EXPECT_EQ(makerAddress(MakerPage::Sponsor), serviceAddress(Service::SponsorPage));
    EXPECT_EQ(makerAddress(MakerPage::Games), serviceAddress(Service::SponsorGames));
    for (MakerPage page : {MakerPage::Help, MakerPage::ProductHome, MakerPage::MakerHome, MakerPage::Forum,
                           MakerPage::Blog, MakerPage::Sponsor, MakerPage::Games}) {
        EXPECT_TRUE(isWebAddress(makerAddress(page))) << makerAddress(page);
    }
}

TEST(MakerAddresses, BugReportIsAMailWithTheSubject) {
    EXPECT_EQ(bugReportAddress(), "mailto:" + serviceAddress(Service::BugMail) + "?subject=Pluvik BUG");
    EXPECT_EQ(bugReportAddress().rfind("mailto:bug@", 0), 0u);
}

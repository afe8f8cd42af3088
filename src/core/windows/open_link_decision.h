#pragma once

#include <string>
#include <string_view>

namespace pluvik {

// Where OpenLink sends an address, by the link setting `sousuo`.
enum class LinkRoute {
    NewBrowseWindow,  // a new secondary browser window (a new one every time), address in its box
    Shell,            // the system's handler for the address: the default web browser
    Ignore,           // not a web address: opened nowhere
};

struct LinkDecision {
    LinkRoute route = LinkRoute::Ignore;
    std::string address;
};

// "http://" or "https://" (scheme in any case) followed by at least one character. Anything else
// (a file, a script, a program's own scheme) is never opened by a link, least of all by the shell.
bool isWebAddress(std::string_view address);

LinkDecision decideOpenLink(bool sousuo, std::string_view address);

// The maker's pages the menus and dialogs link to.
enum class MakerPage {
    Help,         // product site, "/help.htm"
    ProductHome,  // product site, "/"
    MakerHome,    // the maker's site, "/"
    Forum,        // "/"
    Blog,         // "/"
    Sponsor,      // the sponsorship page
    Games,        // the outside games page that sponsors the maker
};
std::string makerAddress(MakerPage page);

// "mailto:" + the bug-report mail address + "?subject=Pluvik BUG". It goes to the shell whatever the
// link setting says.
std::string bugReportAddress();

}  // namespace pluvik

#pragma once

#include <functional>

namespace pluvik {
class BrowserView;
}

// Input of the user in the page of a real browser (a WebBrowserView), which the engine sees as real
// input: pages may open windows or ask "leave this page?" only after the user did something. The
// engine ignores input to a page it has not painted yet, so the input is given again, once a second,
// until `done` holds (30 s at most). Returns whether it came to hold.
// A click lands on the page's blank right-hand side, away from links.
bool clickInPageUntil(pluvik::BrowserView* browser, const std::function<bool()>& done);
// Typing goes to whatever the page has focused.
bool typeInPageUntil(pluvik::BrowserView* browser, const char* text, const std::function<bool()>& done);

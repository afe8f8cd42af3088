#pragma once

#include <QString>
#include <QUrl>
#include <functional>

#include "app_context.h"
#include "platform/shell_opener.h"

class QWidget;

namespace pluvik {

class BrowseWindow;

// Opens a web address for the user by the link setting `sousuo`: on, a new secondary browser
// window (a new one every time) with the address in its box, its current browser sent to the box
// text; off, the shell with `owner` as the calling window. An address that is not a web address is
// opened nowhere. Returns the new window, or nullptr when none was opened.
BrowseWindow* OpenLink(const AppContext& ctx, QWidget* owner, const QString& address);

// "提交BUG": a new mail to the maker with the subject "Pluvik BUG", always through the shell.
void OpenBugReport(ShellOpener& shell, QWidget* owner);

}  // namespace pluvik

#include "platform/shell_opener.h"

#include <QDesktopServices>

namespace pluvik {

void ShellOpener::open(QWidget* owner, const QUrl& url) {
    if (m_hook) {
        m_hook(owner, url);
        return;
    }
    // The result is ignored on purpose: there is nothing the program could do about a missing or
    // failing handler, and the system reports that itself.
    (void)QDesktopServices::openUrl(url);
}

}  // namespace pluvik

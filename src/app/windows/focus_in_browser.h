#pragma once

#include <QApplication>
#include <QWidget>

#include "platform/browser_view.h"

namespace pluvik {

// Whether the keyboard focus sits in a result page of `window`: such a page keeps its own keys.
inline bool focusInBrowser(const QWidget* window) {
    for (QWidget* w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
        if (qobject_cast<BrowserView*>(w)) return true;
    }
    return false;
}

}  // namespace pluvik

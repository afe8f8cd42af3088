#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace pluvik {

class BrowserView;

// Creates the browser widgets of every window, so tests can hand the windows a recording double
// instead of a real engine.
class BrowserFactory {
public:
    virtual ~BrowserFactory() = default;
    virtual BrowserView* create(QWidget* parent, const QString& objectName) = 0;
};

}  // namespace pluvik

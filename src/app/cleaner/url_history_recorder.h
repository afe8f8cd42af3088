#pragma once

#include <QObject>
#include <QString>

#include "platform/browser_factory.h"

namespace pluvik {

class BrowserView;
class UrlHistoryStorage;

// Writes every page a browser shows into the URL history: the address, the title once the page
// has one, and the time of the visit.
class UrlHistoryRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlHistoryRecorder(UrlHistoryStorage& history, QObject* parent = nullptr);

    // Records the page a browser shows: when it has loaded and whenever its title changes.
    void watch(BrowserView* view);
    // Records one visit. Addresses that are no page of the web or of the disk (about:blank, data:,
    // an empty one) are left out; a title that only repeats the address counts as none.
    void recordVisit(const QString& address, const QString& title);

private:
    UrlHistoryStorage& m_history;
};

// Hands out the browsers of another factory, each already watched by the recorder, so every
// browser of every window feeds the history.
class RecordingBrowserFactory : public BrowserFactory {
public:
    RecordingBrowserFactory(BrowserFactory& browsers, UrlHistoryRecorder& recorder)
        : m_browsers(browsers), m_recorder(recorder) {}
    BrowserView* create(QWidget* parent, const QString& objectName) override;

private:
    BrowserFactory& m_browsers;
    UrlHistoryRecorder& m_recorder;
};

}  // namespace pluvik

#pragma once

#include <QObject>
#include <QString>

#include "platform/browser_factory.h"

namespace pluvik {

class BrowserView;
class UrlHistoryStorage;

// Writes every page a browser loads into the URL history: the address, the title once the page
// has one, and the time of the visit.
class UrlHistoryRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlHistoryRecorder(UrlHistoryStorage& history, QObject* parent = nullptr);

    // Records the page a browser shows when it has loaded; a title that changes afterwards renames
    // that visit while it is still in the history.
    void watch(BrowserView* view);
    // Records one visit and returns its address as the history keeps it, or nothing when no visit
    // was recorded. Addresses that are no page of the web or of the disk (about:blank, data:, an
    // empty one) are left out; a title that only repeats the address counts as none.
    QString recordVisit(const QString& address, const QString& title);
    // The address as the history keeps it, or nothing for an address that is never recorded.
    static QString visitKey(const QString& address);

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

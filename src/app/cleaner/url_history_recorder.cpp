#include "cleaner/url_history_recorder.h"

#include <QUrl>
#include <algorithm>
#include <memory>

#include "browse/page_address.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/url_history_storage.h"

namespace pluvik {

UrlHistoryRecorder::UrlHistoryRecorder(UrlHistoryStorage& history, QObject* parent)
    : QObject(parent), m_history(history) {}

void UrlHistoryRecorder::watch(BrowserView* view) {
    if (!view) return;
    // The address of the visit this browser recorded last, for titles that come after the load.
    auto visited = std::make_shared<QString>();
    connect(view, &BrowserView::DocumentComplete, this,
            [this, view, visited] { *visited = recordVisit(view->LocationURL(), view->DocumentTitle()); });
    connect(view, &BrowserView::TitleChange, this, [this, view, visited] {
        // A visit is recorded when a page loads. A title that changes later (a clock, an unread
        // counter) only renames a visit still in the history: once the history is cleared, an open
        // page must not write itself back.
        if (visited->isEmpty() || visitKey(view->LocationURL()) != *visited) return;
        try {
            // The filter selects by prefix: only the visit's own address counts.
            const std::string key = toStd(*visited);
            const std::vector<StatUrl> entries = m_history.enumUrls(key, 0);
            if (std::none_of(entries.begin(), entries.end(),
                             [&key](const StatUrl& e) { return e.url == key; })) {
                visited->clear();
                return;
            }
        } catch (const HistoryStoreError&) {
            return;  // the rename waits for the next title
        }
        recordVisit(view->LocationURL(), view->DocumentTitle());
    });
}

QString UrlHistoryRecorder::visitKey(const QString& address) {
    if (address.isEmpty()) return {};
    // The browser reports a page on the disk by its path.
    const QUrl url = address.startsWith('/') ? QUrl::fromLocalFile(address) : QUrl(address);
    if (!url.isValid() || !isRecordedScheme(toStd(url.scheme().toLower()))) return {};
    return url.toString(QUrl::FullyEncoded);
}

QString UrlHistoryRecorder::recordVisit(const QString& address, const QString& title) {
    const QString key = visitKey(address);
    if (key.isEmpty()) return {};
    const QUrl url(key);

    // A page without a title of its own shows its address as the title.
    std::vector<std::string> spellings = addressSpellings(url);
    spellings.push_back(toStd(address));
    const QString pageTitle = hasOwnTitle(toStd(title), spellings) ? title.trimmed() : QString();

    try {
        m_history.addUrl(toStd(key), toStd(pageTitle), kStatUrlFlagIsTopLevel);
    } catch (const HistoryStoreError&) {
        // A visit that cannot be written (the file is locked by another copy of the program, the
        // disk is full) is lost on purpose: browsing must not stop or complain over it.
        return {};
    }
    return key;
}

BrowserView* RecordingBrowserFactory::create(QWidget* parent, const QString& objectName) {
    BrowserView* view = m_browsers.create(parent, objectName);
    m_recorder.watch(view);
    return view;
}

}  // namespace pluvik

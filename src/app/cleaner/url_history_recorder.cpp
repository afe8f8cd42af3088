#include "cleaner/url_history_recorder.h"

#include <QUrl>

#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/url_history_storage.h"

namespace pluvik {

UrlHistoryRecorder::UrlHistoryRecorder(UrlHistoryStorage& history, QObject* parent)
    : QObject(parent), m_history(history) {}

void UrlHistoryRecorder::watch(BrowserView* view) {
    if (!view) return;
    auto record = [this, view] { recordVisit(view->LocationURL(), view->DocumentTitle()); };
    connect(view, &BrowserView::DocumentComplete, this, record);
    connect(view, &BrowserView::TitleChange, this, record);
}

void UrlHistoryRecorder::recordVisit(const QString& address, const QString& title) {
    if (address.isEmpty()) return;
    // The browser reports a page on the disk by its path.
    const QUrl url = address.startsWith('/') ? QUrl::fromLocalFile(address) : QUrl(address);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || !(scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "file"))
        return;
    const QString key = url.toString(QUrl::FullyEncoded);

    // A page without a title of its own shows its address as the title.
    QString pageTitle = title.trimmed();
    if (pageTitle == address || pageTitle == key || pageTitle == url.toDisplayString() ||
        pageTitle == url.toDisplayString(QUrl::RemoveScheme).mid(2))
        pageTitle.clear();

    try {
        m_history.addUrl(toStd(key), toStd(pageTitle), kStatUrlFlagIsTopLevel);
    } catch (const HistoryStoreError&) {
        // A visit that cannot be written (the file is locked by another copy of the program, the
        // disk is full) is lost on purpose: browsing must not stop or complain over it.
    }
}

BrowserView* RecordingBrowserFactory::create(QWidget* parent, const QString& objectName) {
    BrowserView* view = m_browsers.create(parent, objectName);
    m_recorder.watch(view);
    return view;
}

}  // namespace pluvik

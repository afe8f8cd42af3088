#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>

#include "browse/download_session.h"

class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace pluvik {

class Dialogs;
class DownloadRow;
class DownloadWindow;
class Trace;

// Every download a page starts, in any window, carried out as core's DownloadSession decides: the
// engine's requests, the save dialog, the file moves and the download window with one row per
// download. Pages saved through the browser's own save pass here too, for their files' permissions.
class Downloads : public QObject {
    Q_OBJECT
public:
    Downloads(QWebEngineProfile* profile, Dialogs& dialogs, Trace& trace, QObject* parent = nullptr);
    // Running downloads are cancelled and their partial files removed.
    ~Downloads() override;

    DownloadWindow* window() const { return m_window.get(); }

    // Where the save dialog starts and partial files wait for the answer: the user's download
    // folder, or home without one.
    static QString defaultFolder();

private:
    struct Entry {
        QPointer<QWebEngineDownloadRequest> request;
        QString url;
        DownloadRow* row = nullptr;
    };

    void onRequested(QWebEngineDownloadRequest* request);
    void watchSavedPage(QWebEngineDownloadRequest* request);
    void bind(quint32 id, QWebEngineDownloadRequest* request);
    void ask(quint32 id, const QString& proposed);
    void onStateChanged(quint32 id);
    void carryOut(const DownloadSteps& steps);
    void carryOut(const DownloadStep& step, Entry& entry);
    DownloadSteps rename(const DownloadStep& step);
    void cancelRequest(Entry& entry);
    static void removePartial(const QString& partialPath);

    Dialogs& m_dialogs;
    Trace& m_trace;
    std::unique_ptr<DownloadWindow> m_window;
    DownloadSession m_session;
    std::map<quint32, Entry> m_running;
};

}  // namespace pluvik

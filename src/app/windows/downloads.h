#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace pluvik {

class Dialogs;
class DownloadRow;
class DownloadWindow;
class Trace;

// Every download a page starts, in any window: the save dialog, the file written under a partial
// name and renamed when whole, and the download window with one row per download.
//
// The engine wants a download accepted, with its path, before downloadRequested returns, and runs
// none of its own work while that handler waits: a save dialog opened there would freeze every page
// of every window (the renderer watchdog then ends their processes as hung) and would hold back the
// further downloads of a storming page until it closes, to pour in as dialog after dialog. So a
// download is accepted at once into a partial file in the download folder, and the dialog follows as
// soon as the handler has returned; while it is open the pages go on, and any other download a page
// starts is refused. The file gets its final name only when the download is whole and the user has
// chosen it; a no from the user cancels the download and removes the partial file.
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
        QString suggestedName;
        QString partialPath;
        QString finalPath;  // empty until the user has chosen
        DownloadRow* row = nullptr;
    };

    void onRequested(QWebEngineDownloadRequest* request);
    void bind(quint32 id, QWebEngineDownloadRequest* request);
    void ask(quint32 id);
    void onStateChanged(quint32 id);
    void complete(quint32 id, Entry& entry);
    static void removePartial(const QString& partialPath);
    bool partialTaken(const QString& path) const;

    Dialogs& m_dialogs;
    Trace& m_trace;
    std::unique_ptr<DownloadWindow> m_window;
    std::map<quint32, Entry> m_running;
    bool m_asking = false;  // a save dialog is open or about to open
};

}  // namespace pluvik

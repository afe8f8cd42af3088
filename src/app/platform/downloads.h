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
class Downloads : public QObject {
    Q_OBJECT
public:
    Downloads(QWebEngineProfile* profile, Dialogs& dialogs, Trace& trace, QObject* parent = nullptr);
    // Running downloads are cancelled and their partial files removed.
    ~Downloads() override;

    DownloadWindow* window() const { return m_window.get(); }

    // Where the save dialog starts: the user's download folder, or home without one.
    static QString defaultFolder();

private:
    struct Entry {
        QPointer<QWebEngineDownloadRequest> request;
        QString finalPath;
        QString partialPath;
        DownloadRow* row = nullptr;
    };

    void onRequested(QWebEngineDownloadRequest* request);
    void onStateChanged(quint32 id);
    void complete(quint32 id, Entry& entry);
    void removePartial(const Entry& entry) const;
    bool partialTaken(const QString& path) const;

    Dialogs& m_dialogs;
    Trace& m_trace;
    std::unique_ptr<DownloadWindow> m_window;
    std::map<quint32, Entry> m_running;
    bool m_asking = false;
};

}  // namespace pluvik

#include "windows/downloads.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "browse/download_rules.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "windows/download_window.h"

namespace pluvik {
namespace {

using Request = QWebEngineDownloadRequest;

QString failureReason(Request::DownloadInterruptReason reason) {
    switch (reason) {
        case Request::FileFailed: return QStringLiteral("无法写入文件");
        case Request::FileAccessDenied: return QStringLiteral("没有写入这个文件夹的权限");
        case Request::FileNoSpace: return QStringLiteral("磁盘空间不足");
        case Request::FileNameTooLong: return QStringLiteral("文件名太长");
        case Request::FileTooLarge: return QStringLiteral("文件太大，磁盘存不下");
        case Request::FileVirusInfected: return QStringLiteral("文件带有病毒");
        case Request::FileTransientError: return QStringLiteral("文件暂时无法写入");
        case Request::FileBlocked: return QStringLiteral("这个文件不允许下载");
        case Request::FileSecurityCheckFailed: return QStringLiteral("文件没有通过安全检查");
        case Request::FileTooShort: return QStringLiteral("文件不完整");
        case Request::FileHashMismatch: return QStringLiteral("文件校验不符");
        case Request::NetworkFailed: return QStringLiteral("网络出错");
        case Request::NetworkTimeout: return QStringLiteral("网络超时");
        case Request::NetworkDisconnected: return QStringLiteral("网络已断开");
        case Request::NetworkServerDown: return QStringLiteral("服务器没有响应");
        case Request::NetworkInvalidRequest: return QStringLiteral("下载地址无效");
        case Request::ServerFailed: return QStringLiteral("服务器出错");
        case Request::ServerBadContent: return QStringLiteral("服务器上没有这个文件");
        case Request::ServerUnauthorized: return QStringLiteral("服务器要求登录");
        case Request::ServerCertProblem: return QStringLiteral("服务器的证书有问题");
        case Request::ServerForbidden: return QStringLiteral("服务器拒绝下载");
        case Request::ServerUnreachable: return QStringLiteral("连不上服务器");
        default: break;
    }
    // Chromium knows more reasons than Qt names; the one seen in practice is a connection that
    // ended before the announced size.
    return QStringLiteral("连接中途断开");
}

}  // namespace

Downloads::Downloads(QWebEngineProfile* profile, Dialogs& dialogs, Trace& trace, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_trace(trace), m_window(std::make_unique<DownloadWindow>()) {
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::onRequested);
}

Downloads::~Downloads() {
    for (auto& [id, entry] : m_running) {
        if (entry.request) {
            entry.request->disconnect(this);
            if (!entry.request->isFinished()) entry.request->cancel();
        }
        removePartial(entry.partialPath);
        m_trace.record("download_cancelled", {{"id", id}, {"path", entry.finalPath}, {"why", "exit"}});
    }
}

QString Downloads::defaultFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    return QDir::homePath();
}

void Downloads::onRequested(QWebEngineDownloadRequest* request) {
    // A page saved through the browser's own save already has its path and is accepted.
    if (request->isSavePageDownload() || request->state() != Request::DownloadRequested) return;
    const quint32 id = request->id();
    const auto known = m_running.find(id);
    if (known != m_running.end()) {
        // The engine of Qt 6.4 asks again, with a new request object, when it retries a download
        // after a network error; it goes on into the same partial file.
        request->setDownloadDirectory(QFileInfo(known->second.partialPath).absolutePath());
        request->setDownloadFileName(QFileInfo(known->second.partialPath).fileName());
        if (known->second.request) known->second.request->disconnect(this);
        bind(id, request);
        request->accept();
        m_trace.record("download_retried", {{"id", id}, {"url", known->second.url}});
        return;
    }
    const QString url = request->url().toString(QUrl::FullyEncoded);
    if (m_asking) {
        m_trace.record("download_refused", {{"id", id}, {"url", url}, {"why", "dialog_open"}});
        request->cancel();
        return;
    }

    Entry entry;
    entry.url = url;
    entry.suggestedName = request->downloadFileName().isEmpty() ? request->suggestedFileName()
                                                                : request->downloadFileName();
    if (entry.suggestedName.isEmpty()) entry.suggestedName = QStringLiteral("下载");
    entry.partialPath = toQ(partialDownloadPath(toStd(QDir(defaultFolder()).filePath(entry.suggestedName)),
                                                [this](const std::string& path) { return partialTaken(toQ(path)); }));
    request->setDownloadDirectory(QFileInfo(entry.partialPath).absolutePath());
    request->setDownloadFileName(QFileInfo(entry.partialPath).fileName());
    m_running.emplace(id, entry);
    bind(id, request);
    request->accept();
    m_trace.record("download_accepted", {{"id", id}, {"url", url}, {"partial", entry.partialPath}});
    m_asking = true;
    QTimer::singleShot(0, this, [this, id] { ask(id); });
}

void Downloads::bind(quint32 id, QWebEngineDownloadRequest* request) {
    Entry& entry = m_running.at(id);
    entry.request = request;
    const auto progress = [this, id] {
        const auto it = m_running.find(id);
        if (it != m_running.end() && it->second.request && it->second.row)
            it->second.row->setProgress(it->second.request->receivedBytes(), it->second.request->totalBytes());
    };
    connect(request, &Request::receivedBytesChanged, this, progress);
    connect(request, &Request::totalBytesChanged, this, progress);
    connect(request, &Request::stateChanged, this, [this, id] { onStateChanged(id); });
    if (entry.row) connect(entry.row, &DownloadRow::cancelRequested, request, &Request::cancel);
}

void Downloads::ask(quint32 id) {
    auto it = m_running.find(id);
    if (it == m_running.end()) {
        m_asking = false;
        return;
    }
    // Over the window the user is in: QWebEngineDownloadRequest::page() of Qt 6.4 hands back a
    // pointer of the wrong type for widget pages and crashes, so the page's own window is unknown.
    const auto answer = m_dialogs.askSavePath(
        QApplication::activeWindow(),
        {QStringLiteral("保存文件"), QDir(defaultFolder()).filePath(it->second.suggestedName),
         {QStringLiteral("所有文件 (*)")}});
    m_asking = false;
    it = m_running.find(id);  // the program may have ended the download meanwhile
    if (it == m_running.end()) return;
    Entry& entry = it->second;
    const QFileInfo chosen(answer ? answer->path : QString());
    if (!answer || answer->path.isEmpty() || chosen.isDir()) {
        if (entry.request) {
            entry.request->disconnect(this);
            if (!entry.request->isFinished()) entry.request->cancel();
        }
        removePartial(entry.partialPath);
        m_trace.record("download_declined", {{"id", id}, {"url", entry.url}});
        m_running.erase(it);
        return;
    }
    entry.finalPath = chosen.absoluteFilePath();
    entry.row = m_window->addRow(chosen.fileName());
    entry.row->setState(QStringLiteral("正在下载"), true);
    if (entry.request) {
        connect(entry.row, &DownloadRow::cancelRequested, entry.request, &Request::cancel);
        entry.row->setProgress(entry.request->receivedBytes(), entry.request->totalBytes());
    }
    m_trace.record("download_chosen", {{"id", id}, {"path", entry.finalPath}});
    m_window->present();
    onStateChanged(id);  // it may have ended while the dialog was open
}

void Downloads::onStateChanged(quint32 id) {
    const auto it = m_running.find(id);
    if (it == m_running.end()) return;
    Entry& entry = it->second;
    // Until the user has chosen, an ended download waits for the answer.
    if (!entry.request || entry.finalPath.isEmpty()) return;
    Request* request = entry.request;
    const QVariantMap fields{{"id", id}, {"path", entry.finalPath}};
    switch (request->state()) {
        case Request::DownloadRequested:
        case Request::DownloadInProgress: return;
        case Request::DownloadCompleted: complete(id, entry); break;
        case Request::DownloadCancelled:
            removePartial(entry.partialPath);
            entry.row->setState(QStringLiteral("已取消"), false);
            m_trace.record("download_cancelled", fields);
            break;
        case Request::DownloadInterrupted: {
            const QString reason = failureReason(request->interruptReason());
            removePartial(entry.partialPath);
            entry.row->setState(QStringLiteral("下载失败：") + reason, false);
            QVariantMap failed = fields;
            failed.insert("reason", reason);
            failed.insert("engine_reason", request->interruptReasonString());
            m_trace.record("download_failed", failed);
            break;
        }
    }
    request->disconnect(this);
    m_running.erase(it);
}

void Downloads::complete(quint32 id, Entry& entry) {
    Request* request = entry.request;
    entry.row->setProgress(request->receivedBytes(), std::max(request->totalBytes(), request->receivedBytes()));
    // rename() replaces a file already under the final name in one step, and only now that the
    // download is whole. Into a folder on another disk the file is first copied beside the final
    // name, so the final name still only ever sees a whole file.
    QString from = entry.partialPath;
    bool moved = std::rename(QFile::encodeName(from).constData(), QFile::encodeName(entry.finalPath).constData()) == 0;
    int error = errno;
    if (!moved && error == EXDEV) {
        const QString copy = toQ(partialDownloadPath(toStd(entry.finalPath),
                                                     [this](const std::string& path) { return partialTaken(toQ(path)); }));
        if (QFile::copy(from, copy)) {
            QFile::remove(from);
            from = copy;
            moved = std::rename(QFile::encodeName(from).constData(), QFile::encodeName(entry.finalPath).constData()) == 0;
            error = errno;
        } else {
            QFile::remove(copy);
        }
    }
    if (!moved) {
        // The bytes are all there; keep them under the partial name rather than lose them.
        entry.row->setState(QStringLiteral("下载失败：无法保存为 %1，已下载的内容在 %2")
                                .arg(QFileInfo(entry.finalPath).fileName(), QDir::toNativeSeparators(from)),
                            false);
        m_trace.record("download_failed", {{"id", id},
                                           {"path", entry.finalPath},
                                           {"reason", "rename"},
                                           {"engine_reason", QString::fromLocal8Bit(std::strerror(error))}});
        return;
    }
    entry.row->setState(QStringLiteral("已完成"), false);
    m_trace.record("download_finished", {{"id", id}, {"path", entry.finalPath}, {"bytes", request->receivedBytes()}});
}

void Downloads::removePartial(const QString& partialPath) {
    QFile::remove(partialPath);
    // The engine writes to a name of its own beside ours until the download is whole.
    QFile::remove(partialPath + QStringLiteral(".download"));
}

bool Downloads::partialTaken(const QString& path) const {
    if (QFileInfo::exists(path) || QFileInfo::exists(path + QStringLiteral(".download"))) return true;
    for (const auto& [id, entry] : m_running)
        if (entry.partialPath == path) return true;
    return false;
}

}  // namespace pluvik

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

#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "shell/file_io.h"
#include "windows/download_window.h"

namespace pluvik {
namespace {

using Request = QWebEngineDownloadRequest;

QString failureReason(Request::DownloadInterruptReason reason) {
    switch (reason) {
        case Request::FileFailed:
            return QStringLiteral("无法写入文件");
        case Request::FileAccessDenied:
            return QStringLiteral("没有写入这个文件夹的权限");
        case Request::FileNoSpace:
            return QStringLiteral("磁盘空间不足");
        case Request::FileNameTooLong:
            return QStringLiteral("文件名太长");
        case Request::FileTooLarge:
            return QStringLiteral("文件太大，磁盘存不下");
        case Request::FileVirusInfected:
            return QStringLiteral("文件带有病毒");
        case Request::FileTransientError:
            return QStringLiteral("文件暂时无法写入");
        case Request::FileBlocked:
            return QStringLiteral("这个文件不允许下载");
        case Request::FileSecurityCheckFailed:
            return QStringLiteral("文件没有通过安全检查");
        case Request::FileTooShort:
            return QStringLiteral("文件不完整");
        case Request::FileHashMismatch:
            return QStringLiteral("文件校验不符");
        case Request::NetworkFailed:
            return QStringLiteral("网络出错");
        case Request::NetworkTimeout:
            return QStringLiteral("网络超时");
        case Request::NetworkDisconnected:
            return QStringLiteral("网络已断开");
        case Request::NetworkServerDown:
            return QStringLiteral("服务器没有响应");
        case Request::NetworkInvalidRequest:
            return QStringLiteral("下载地址无效");
        case Request::ServerFailed:
            return QStringLiteral("服务器出错");
        case Request::ServerBadContent:
            return QStringLiteral("服务器上没有这个文件");
        case Request::ServerUnauthorized:
            return QStringLiteral("服务器要求登录");
        case Request::ServerCertProblem:
            return QStringLiteral("服务器的证书有问题");
        case Request::ServerForbidden:
            return QStringLiteral("服务器拒绝下载");
        case Request::ServerUnreachable:
            return QStringLiteral("连不上服务器");
        default:
            break;
    }
    // Chromium knows more reasons than Qt names; the one seen in practice is a connection that
    // ended before the announced size.
    return QStringLiteral("连接中途断开");
}

}  // namespace

Downloads::Downloads(QWebEngineProfile* profile, Dialogs& dialogs, Trace& trace, QObject* parent)
    : QObject(parent),
      m_dialogs(dialogs),
      m_trace(trace),
      m_window(std::make_unique<DownloadWindow>()),
      m_session([](const std::string& path) { return QFileInfo::exists(toQ(path)); }) {
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::onRequested);
}

Downloads::~Downloads() {
    carryOut(m_session.exiting());
}

QString Downloads::defaultFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    return QDir::homePath();
}

void Downloads::onRequested(QWebEngineDownloadRequest* request) {
    if (request->isSavePageDownload()) return watchSavedPage(request);
    if (request->state() != Request::DownloadRequested) return;
    const quint32 id = request->id();
    const QString url = request->url().toString(QUrl::FullyEncoded);
    // The server's name as the engine read it; the engine's own choice has numbered it already
    // against the download folder, which the session does itself.
    const QString offered =
        request->suggestedFileName().isEmpty() ? request->downloadFileName() : request->suggestedFileName();
    for (const DownloadStep& step : m_session.requested(id, toStd(offered), toStd(defaultFolder()))) {
        const QFileInfo partial(toQ(step.path));
        switch (step.action) {
            case DownloadAction::Refuse:
                m_trace.record("download_refused", {{"id", id}, {"url", url}, {"why", "dialog_open"}});
                request->cancel();
                return;
            case DownloadAction::Retry:
            case DownloadAction::Accept: {
                Entry& entry = m_running[id];
                if (entry.request) entry.request->disconnect(this);
                if (step.action == DownloadAction::Accept) entry.url = url;
                request->setDownloadDirectory(partial.absolutePath());
                request->setDownloadFileName(partial.fileName());
                bind(id, request);
                request->accept();
                if (step.action == DownloadAction::Retry)
                    m_trace.record("download_retried", {{"id", id}, {"url", entry.url}});
                else
                    m_trace.record("download_accepted",
                                   {{"id", id}, {"url", url}, {"partial", toQ(step.path)}});
                break;
            }
            case DownloadAction::Ask:
                QTimer::singleShot(0, this, [this, id, proposed = toQ(step.path)] { ask(id, proposed); });
                break;
            default:
                break;
        }
    }
}

void Downloads::watchSavedPage(QWebEngineDownloadRequest* request) {
    // The page already has its path, and the engine writes it. It writes a web archive readable by
    // its owner alone, where every other saved file gets the user's ordinary permissions.
    connect(request, &Request::stateChanged, this, [this, request](Request::DownloadState state) {
        if (state != Request::DownloadCompleted) return;
        const QString path = QDir(request->downloadDirectory()).filePath(request->downloadFileName());
        bool ok = giveOrdinaryPermissions(QFile::encodeName(path).toStdString());
        // A whole page keeps its pictures and scripts in a folder of its own beside it.
        if (request->savePageFormat() == Request::CompleteHtmlSaveFormat) {
            const QFileInfo page(path);
            const QString folder = page.dir().filePath(page.completeBaseName() + QStringLiteral("_files"));
            if (QFileInfo(folder).isDir())
                ok = giveOrdinaryPermissions(QFile::encodeName(folder).toStdString()) && ok;
        }
        m_trace.record("page_saved", {{"path", path}, {"permissions", ok}});
    });
}

void Downloads::bind(quint32 id, QWebEngineDownloadRequest* request) {
    Entry& entry = m_running.at(id);
    entry.request = request;
    const auto progress = [this, id] {
        const auto it = m_running.find(id);
        if (it != m_running.end() && it->second.request && it->second.row)
            it->second.row->setProgress(it->second.request->receivedBytes(),
                                        it->second.request->totalBytes());
    };
    connect(request, &Request::receivedBytesChanged, this, progress);
    connect(request, &Request::totalBytesChanged, this, progress);
    connect(request, &Request::stateChanged, this, [this, id] { onStateChanged(id); });
    if (entry.row) connect(entry.row, &DownloadRow::cancelRequested, request, &Request::cancel);
}

void Downloads::ask(quint32 id, const QString& proposed) {
    std::optional<std::string> path;
    bool isFolder = false;
    if (m_session.running(id)) {
        // Over the window the user is in: QWebEngineDownloadRequest::page() of Qt 6.4 hands back a
        // pointer of the wrong type for widget pages and crashes, so the page's own window is unknown.
        const auto answer =
            m_dialogs.askSavePath(QApplication::activeWindow(),
                                  {QStringLiteral("保存文件"), proposed, {QStringLiteral("所有文件 (*)")}});
        if (answer && !answer->path.isEmpty()) {
            const QFileInfo chosen(answer->path);
            path = toStd(chosen.absoluteFilePath());
            isFolder = chosen.isDir();
        }
    }
    // The program may have ended the download meanwhile; the session knows.
    carryOut(m_session.answered(id, path, isFolder));
}

void Downloads::onStateChanged(quint32 id) {
    const auto it = m_running.find(id);
    if (it == m_running.end() || !it->second.request) return;
    Request* request = it->second.request;
    switch (request->state()) {
        case Request::DownloadRequested:
        case Request::DownloadInProgress:
            return;
        case Request::DownloadCompleted:
            return carryOut(m_session.ended(id, DownloadEnd::Completed));
        case Request::DownloadCancelled:
            return carryOut(m_session.ended(id, DownloadEnd::Cancelled));
        case Request::DownloadInterrupted:
            return carryOut(m_session.ended(id, DownloadEnd::Interrupted,
                                            toStd(failureReason(request->interruptReason()))));
    }
}

void Downloads::carryOut(const DownloadSteps& steps) {
    DownloadSteps queue = steps;
    for (size_t i = 0; i < queue.size(); ++i) {
        const DownloadStep step = queue[i];
        if (step.action == DownloadAction::Rename) {
            const DownloadSteps after = rename(step);
            queue.insert(queue.end(), after.begin(), after.end());
        } else if (step.action == DownloadAction::Copy) {
            const bool ok = QFile::copy(toQ(step.path), toQ(step.target));
            const DownloadSteps after = m_session.copied(step.id, ok);
            queue.insert(queue.end(), after.begin(), after.end());
        } else if (step.action == DownloadAction::Remove) {
            QFile::remove(toQ(step.path));
        } else if (const auto it = m_running.find(step.id); it != m_running.end()) {
            carryOut(step, it->second);
        }
    }
    // What the session has done with, the window lets go of too.
    for (auto it = m_running.begin(); it != m_running.end();) {
        if (m_session.running(it->first)) {
            ++it;
            continue;
        }
        if (it->second.request) it->second.request->disconnect(this);
        it = m_running.erase(it);
    }
}

void Downloads::carryOut(const DownloadStep& step, Entry& entry) {
    const quint32 id = step.id;
    const QString target = toQ(step.target);
    Request* request = entry.request;
    switch (step.action) {
        case DownloadAction::Decline:
            cancelRequest(entry);
            removePartial(toQ(step.path));
            m_trace.record("download_declined", {{"id", id}, {"url", entry.url}});
            break;
        case DownloadAction::Abandon:
            cancelRequest(entry);
            removePartial(toQ(step.path));
            m_trace.record("download_cancelled", {{"id", id}, {"path", target}, {"why", "exit"}});
            break;
        case DownloadAction::Chosen:
            entry.row = m_window->addRow(QFileInfo(target).fileName());
            entry.row->setState(QStringLiteral("正在下载"), true);
            if (request) {
                connect(entry.row, &DownloadRow::cancelRequested, request, &Request::cancel);
                entry.row->setProgress(request->receivedBytes(), request->totalBytes());
            }
            m_trace.record("download_chosen", {{"id", id}, {"path", target}});
            m_window->present();
            break;
        case DownloadAction::Cancelled:
            removePartial(toQ(step.path));
            entry.row->setState(QStringLiteral("已取消"), false);
            m_trace.record("download_cancelled", {{"id", id}, {"path", target}});
            break;
        case DownloadAction::Failed:
            removePartial(toQ(step.path));
            entry.row->setState(QStringLiteral("下载失败：") + toQ(step.text), false);
            m_trace.record("download_failed",
                           {{"id", id},
                            {"path", target},
                            {"reason", toQ(step.text)},
                            {"engine_reason", request ? request->interruptReasonString() : QString()}});
            break;
        case DownloadAction::Finished:
        case DownloadAction::Kept: {
            if (request)
                entry.row->setProgress(request->receivedBytes(),
                                       std::max(request->totalBytes(), request->receivedBytes()));
            if (step.action == DownloadAction::Kept) {
                entry.row->setState(
                    QStringLiteral("下载失败：无法保存为 %1，已下载的内容在 %2")
                        .arg(QFileInfo(target).fileName(), QDir::toNativeSeparators(toQ(step.path))),
                    false);
                m_trace.record(
                    "download_failed",
                    {{"id", id}, {"path", target}, {"reason", "rename"}, {"engine_reason", toQ(step.text)}});
                break;
            }
            // A copy from another disk was made for the owner alone; the file is the user's like any other.
            giveOrdinaryPermissions(QFile::encodeName(target).toStdString());
            entry.row->setState(QStringLiteral("已完成"), false);
            m_trace.record("download_finished",
                           {{"id", id}, {"path", target}, {"bytes", request ? request->receivedBytes() : 0}});
            break;
        }
        default:
            break;
    }
}

DownloadSteps Downloads::rename(const DownloadStep& step) {
    if (std::rename(QFile::encodeName(toQ(step.path)).constData(),
                    QFile::encodeName(toQ(step.target)).constData()) == 0)
        return m_session.moved(step.id, MoveOutcome::Done);
    const int error = errno;
    return m_session.moved(step.id, error == EXDEV ? MoveOutcome::OtherDisk : MoveOutcome::Failed,
                           toStd(QString::fromLocal8Bit(std::strerror(error))));
}

void Downloads::cancelRequest(Entry& entry) {
    if (!entry.request) return;
    entry.request->disconnect(this);
    if (!entry.request->isFinished()) entry.request->cancel();
}

void Downloads::removePartial(const QString& partialPath) {
    QFile::remove(partialPath);
    QFile::remove(partialPath + kEngineDownloadSuffix);
}

}  // namespace pluvik

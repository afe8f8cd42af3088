#include "update/download_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "update/cls_count.h"
#include "update/format_bytes.h"

namespace pluvik {
namespace {

void show(const DownloadHooks& hooks, const std::string& text) {
    if (hooks.showStatus) hooks.showStatus(text);
}

bool cancelled(const DownloadHooks& hooks) {
    return hooks.cancelled && hooks.cancelled();
}

std::string progressLine(std::int64_t total, std::int32_t speed) {
    return "已下载 " + FormatBytes(total) + "  [ " + FormatBytes(speed) + " /秒 ]";
}

std::string closingLine(const DownloadResult& result, const std::string& fileName) {
    const std::string received = std::to_string(result.total);
    switch (result.outcome) {
        case DownloadOutcome::Complete:
            return "共下载 " + received + " 字节";
        case DownloadOutcome::OpenFailed:
            return "打开URL错误";
        case DownloadOutcome::HttpError:
            return "下载失败：服务器返回 " + std::to_string(result.statusCode) + "，未保存 " + fileName;
        case DownloadOutcome::BrokeOff:
            if (result.expected) {
                return "下载中断：只收到 " + received + " 字节（应为 " + std::to_string(*result.expected) +
                       " 字节），未保存 " + fileName;
            }
            return "下载中断：收到 " + received + " 字节后连接断开，未保存 " + fileName;
        case DownloadOutcome::TimedOut:
            return "下载超时：服务器长时间没有响应，已收到 " + received + " 字节，未保存 " + fileName;
        case DownloadOutcome::Cancelled:
            return "下载已取消";
        case DownloadOutcome::WriteFailed:
            return "无法写入文件 " + fileName;
    }
    return {};
}

bool isSuccess(int status) {
    return status >= 200 && status <= 299;
}

// Reads the body into `out`; returns how the transfer ended, with the total counted in `result`.
DownloadOutcome transfer(InternetUrl& url, std::ofstream& out, TickCounter& ticks, const DownloadHooks& hooks,
                         DownloadResult& result) {
    clsCount counter(ticks);
    counter.Clear();
    // The speed shown. Pieces come out of the connection's read-ahead in bursts, many within one
    // millisecond, so the rate between two pieces says nothing about the line (a burst of ten pieces
    // in a millisecond would read 20 MB/s on a line of 300 KB/s). The line shows the average since
    // the start during the first second, then the rate over the last second, renewed once a second.
    std::int32_t speed = 0;
    std::array<char, kDownloadChunkSize> buffer;
    for (;;) {
        if (cancelled(hooks)) return DownloadOutcome::Cancelled;
        const ReadResult read = url.read(buffer.data(), buffer.size());
        switch (read.status) {
            case ReadStatus::Data:
                break;
            case ReadStatus::End:
                return DownloadOutcome::Complete;
            case ReadStatus::Failed:
                return DownloadOutcome::BrokeOff;
            case ReadStatus::TimedOut:
                return DownloadOutcome::TimedOut;
            case ReadStatus::Cancelled:
                return DownloadOutcome::Cancelled;
        }
        // A session that claims more than it was asked for is not trusted with the buffer's end.
        const std::size_t bytes = std::min(read.bytes, buffer.size());
        if (bytes == 0) return DownloadOutcome::Complete;
        out.write(buffer.data(), static_cast<std::streamsize>(bytes));
        if (!out) return DownloadOutcome::WriteFailed;
        result.total += static_cast<std::int64_t>(bytes);
        counter.Count(static_cast<std::int64_t>(bytes));
        if (counter.NewSpeed())
            speed = counter.Speed();
        else if (counter.TotalTickCount() <= clsCount::kSampleMs)
            speed = counter.TotalSpeed();
        show(hooks, progressLine(result.total, speed));
        if (hooks.processEvents) hooks.processEvents();
    }
}

DownloadOutcome receive(InternetUrl& url, TickCounter& ticks, const std::filesystem::path& programDir,
                        const std::string& fileName, const DownloadHooks& hooks, DownloadResult& result) {
    result.statusCode = url.statusCode();
    result.expected = url.contentLength();
    if (!isSuccess(result.statusCode)) return DownloadOutcome::HttpError;

    const std::filesystem::path target = programDir / fileName;
    const std::filesystem::path partial = programDir / partialDownloadName(fileName);
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);

    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    DownloadOutcome outcome = out ? transfer(url, out, ticks, hooks, result) : DownloadOutcome::WriteFailed;
    if (out.is_open()) out.close();
    if (outcome == DownloadOutcome::Complete && !out) outcome = DownloadOutcome::WriteFailed;
    if (outcome == DownloadOutcome::Complete && result.expected && result.total != *result.expected) {
        outcome = DownloadOutcome::BrokeOff;
    }
    if (outcome == DownloadOutcome::Complete) {
        std::error_code ec;
        std::filesystem::rename(partial, target, ec);
        if (ec) outcome = DownloadOutcome::WriteFailed;
    }
    // Whatever did not become the target is only half a file, and nobody may mistake it for one.
    if (outcome != DownloadOutcome::Complete) std::filesystem::remove(partial, ignored);
    return outcome;
}

}  // namespace

std::string partialDownloadName(const std::string& fileName) {
    return fileName + ".part";
}

DownloadResult DownloadFile(InternetSession& session, TickCounter& ticks,
                            const std::filesystem::path& programDir, const std::string& url,
                            const std::string& fileName, const DownloadHooks& hooks) {
    show(hooks, "正在连接服务器...");
    DownloadResult result;
    const bool rootOpen = !cancelled(hooks) && session.open(kUpdateUserAgent);
    std::unique_ptr<InternetUrl> handle;
    if (rootOpen && !cancelled(hooks)) handle = session.openUrl(url, CachePolicy::AlwaysFromServer);

    if (cancelled(hooks)) {
        result.outcome = DownloadOutcome::Cancelled;
    } else if (!handle) {
        result.outcome = DownloadOutcome::OpenFailed;
    } else {
        result.outcome = receive(*handle, ticks, programDir, fileName, hooks, result);
        // A transfer that failed because the window gave up is a cancellation, not a network fault.
        if (result.outcome != DownloadOutcome::Complete && cancelled(hooks)) {
            result.outcome = DownloadOutcome::Cancelled;
        }
    }
    show(hooks, closingLine(result, fileName));

    handle.reset();
    if (rootOpen) session.close();
    return result;
}

}  // namespace pluvik

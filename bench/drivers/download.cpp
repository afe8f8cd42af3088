// Downloads one package through DownloadFile over the program's Qt Network session, as the update
// window does: pieces of 2048 bytes, the update window's own status line set and repainted per piece,
// window events run between reads. Prints one JSON object: bytes, seconds, MB/s, the memory before and the
// peak.
//
// Usage: bench_download PROXY_PORT URL WORKDIR

#include <QApplication>
#include <QNetworkProxy>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/qt_text.h"
#include "update/download_file.h"
#include "update/qt_internet_session.h"
#include "update/status_line.h"
#include "platform/steady_tick_counter.h"

namespace {

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long statusKb(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_download PROXY_PORT URL WORKDIR\n");
        return 2;
    }
    const quint16 port = static_cast<quint16>(std::stoi(argv[1]));
    const std::string url = argv[2];
    const std::filesystem::path dir = argv[3];
    std::filesystem::create_directories(dir);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* status = new pluvik::StatusLine(QStringLiteral("准备下载"), &window);
    layout->addWidget(status);
    window.resize(400, 120);
    window.show();
    QCoreApplication::processEvents();

    pluvik::QtInternetSession session;
    session.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port));
    if (!session.open(pluvik::kUpdateUserAgent)) return 1;
    pluvik::SteadyTickCounter ticks;
    long repaints = 0;
    pluvik::DownloadHooks hooks;
    hooks.showStatus = [&](const std::string& text) {
        status->showNow(pluvik::toQ(text));
        ++repaints;
    };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };

    const long rssBefore = statusKb("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    const pluvik::DownloadResult result = pluvik::DownloadFile(session, ticks, dir, url, "Pluvik.rar", hooks);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peak = statusKb("VmHWM");
    session.close();

    std::printf(
        "{\"complete\":%s,\"bytes\":%lld,\"seconds\":%.4f,\"mb_per_s\":%.2f,\"repaints\":%ld,"
        "\"rss_before_kb\":%ld,\"peak_kb\":%ld}\n",
        result.complete() ? "true" : "false", static_cast<long long>(result.total), seconds,
        static_cast<double>(result.total) / 1e6 / seconds, repaints, rssBefore, peak);
    std::filesystem::remove(dir / "Pluvik.rar");
    return result.complete() ? 0 : 1;
}

// Times the URL history list and the cache clean over growing sizes:
// - CURLHistory creation (a full Refresh) over an SQLite history file of N entries, cold (first use of
//   a freshly opened file) and warm (median of repeats), and Refresh on an existing list;
// - mMain::ClearUrlCache ("*.*", skipping cookies and history) over an in-memory cache of N entries.
// Prints one JSON object on stdout: {"history":[{n, fill_s, create_cold_s, create_s, refresh_s}...],
// "cache":[{n, clear_s, left}...]}.
//
// Usage: bench_history_scale WORKDIR [N...]   (default sizes 1000 10000 100000)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cleaner/m_main.h"
#include "cleaner/memory_url_cache.h"
#include "cleaner/sqlite_url_history_storage.h"
#include "cleaner/url_history.h"

using namespace pluvik;

namespace {

constexpr int kRepeats = 5;

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <class F>
double timeIt(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return seconds(std::chrono::steady_clock::now() - start);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string address(std::size_t i) {
    return "http://www.host" + std::to_string(i % 997) + ".example/search?q=keyword" + std::to_string(i);
}

struct HistoryFigure {
    std::size_t n;
    double fill, createCold, create, refresh;
};

HistoryFigure history(const std::filesystem::path& dir, std::size_t n) {
    const std::filesystem::path file = dir / ("history-" + std::to_string(n) + ".sqlite");
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
    HistoryFigure figure{n, 0, 0, 0, 0};
    {
        // Visits at the system clock: entries that look expired would be purged at the next opening.
        SqliteUrlHistoryStorage store(file.string());
        figure.fill = timeIt([&] {
            for (std::size_t i = 0; i < n; ++i) store.addUrl(address(i), "Result page " + std::to_string(i), 0);
        });
    }
    SqliteUrlHistoryStorage store(file.string());
    std::size_t count = 0;
    figure.createCold = timeIt([&] { count = CURLHistory(store).Count(); });
    if (count != n) std::fprintf(stderr, "history of %zu lists %zu entries\n", n, count);
    std::vector<double> creates, refreshes;
    for (int r = 0; r < kRepeats; ++r)
        creates.push_back(timeIt([&] {
            if (CURLHistory(store).Count() != n) std::fprintf(stderr, "history of %zu changed\n", n);
        }));
    CURLHistory list(store);
    for (int r = 0; r < kRepeats; ++r)
        refreshes.push_back(timeIt([&] {
            list.Refresh(std::string(), 0);
            if (list.Count() != n) std::fprintf(stderr, "history of %zu changed\n", n);
        }));
    figure.create = median(creates);
    figure.refresh = median(refreshes);
    return figure;
}

struct CacheFigure {
    std::size_t n;
    double clear;
    std::size_t left;
};

CacheFigure cache(std::size_t n) {
    std::vector<double> times;
    std::size_t left = 0;
    const int repeats = n >= 100000 ? 1 : 3;
    for (int r = 0; r < repeats; ++r) {
        MemoryUrlCache memory;
        // Mostly cached content, with the cookies and history entries the clean passes over.
        for (std::size_t i = 0; i < n; ++i) {
            if (i % 10 == 0)
                memory.addEntry("cookie:user@www.host" + std::to_string(i) + ".example/", kCookieCacheEntry);
            else if (i % 10 == 1)
                memory.addEntry("visited:" + address(i), kUrlHistoryCacheEntry);
            else
                memory.addEntry(address(i), kNormalCacheEntry);
        }
        times.push_back(timeIt([&] {
            mMain::ClearUrlCache(memory, mMain::kTemporaryFilesPattern, mMain::kTemporaryFilesSkipMask);
        }));
        left = memory.entryNames().size();
    }
    return {n, median(times), left};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_history_scale WORKDIR [N...]\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    std::vector<std::size_t> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(std::stoul(argv[i]));
    if (sizes.empty()) sizes = {1000, 10000, 100000};

    std::string out = "{\"history\":[";
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const HistoryFigure f = history(dir, sizes[i]);
        char buf[256];
        std::snprintf(buf, sizeof buf,
                      "%s{\"n\":%zu,\"fill_s\":%.6f,\"create_cold_s\":%.6f,\"create_s\":%.6f,\"refresh_s\":%.6f}",
                      i ? "," : "", f.n, f.fill, f.createCold, f.create, f.refresh);
        out += buf;
        std::fprintf(stderr, "history %zu done\n", f.n);
    }
    out += "],\"cache\":[";
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const CacheFigure f = cache(sizes[i]);
        char buf[128];
        std::snprintf(buf, sizeof buf, "%s{\"n\":%zu,\"clear_s\":%.6f,\"left\":%zu}", i ? "," : "", f.n, f.clear,
                      f.left);
        out += buf;
        std::fprintf(stderr, "cache %zu done\n", f.n);
    }
    out += "]}";
    std::puts(out.c_str());
    return 0;
}

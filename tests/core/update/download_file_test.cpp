#include "update/download_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fakes/fake_internet_session.h"
#include "fakes/fake_tick_counter.h"
#include "shell/file_io.h"

namespace pluvik {
namespace {

namespace fs = std::filesystem;
using test::FakeInternetSession;
using test::FakeResponse;
using test::FakeTickCounter;
using test::generatedBody;

constexpr const char* kUrl = "http://update.example/Pluvik.rar";

class DownloadFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pluvik-download-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        hooks.showStatus = [this](const std::string& text) { statuses.push_back(text); };
        hooks.processEvents = [this] { ++eventRounds; };
        hooks.cancelled = [this] { return cancelRequested; };
    }
    void TearDown() override { fs::remove_all(dir); }

    DownloadResult download(const std::string& name = "Pluvik.rar") {
        return DownloadFile(session, ticks, dir, kUrl, name, hooks);
    }
    void serve(FakeResponse response) { session.responses[kUrl] = std::move(response); }
    // Every file of the program directory, so a test sees a stray temporary file too.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void writeEarlierFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }

    fs::path dir;
    FakeInternetSession session;
    FakeTickCounter ticks{1000};
    DownloadHooks hooks;
    std::vector<std::string> statuses;
    int eventRounds = 0;
    bool cancelRequested = false;
};

TEST_F(DownloadFileTest, ACompleteTransferArrivesByteForByteWithProgressAndSpeed) {
    FakeResponse response;
    response.body = generatedBody(5000);
    serve(response);
    // Each piece takes 250 ms: within the first second the speed is the average since the start.
    session.beforeRead = [this](std::int64_t) { ticks.advance(250); };

    const DownloadResult result = download();

    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.total, 5000);
    EXPECT_EQ(readFileBytes(dir / "Pluvik.rar"), generatedBody(5000));
    EXPECT_EQ(files(), std::vector<std::string>{"Pluvik.rar"});
    EXPECT_EQ(session.agents, std::vector<std::string>{"VB OpenUrl"});
    EXPECT_EQ(session.opened, std::vector<std::string>{kUrl});
    EXPECT_EQ(session.policies, std::vector<CachePolicy>{CachePolicy::AlwaysFromServer});
    EXPECT_EQ(session.largestRead, 2048u);

    const std::vector<std::string> expected{
        "正在连接服务器...",
        "已下载 2048字节(2.00 KB)  [ 8192字节(8.00 KB) /秒 ]",
        "已下载 4096字节(4.00 KB)  [ 8192字节(8.00 KB) /秒 ]",
        "已下载 5000字节(4.88 KB)  [ 6667字节(6.51 KB) /秒 ]",
        "共下载 5000 字节",
    };
    EXPECT_EQ(statuses, expected);
    EXPECT_EQ(eventRounds, 3);  // the window's events run after every piece
    // The URL handle is closed before the root.
    EXPECT_EQ(session.closes, 1);
    EXPECT_EQ(session.liveUrlsAtClose, 0);
    EXPECT_EQ(session.liveUrls, 0);
}

TEST_F(DownloadFileTest, ASmallFileShowsItsSizeAloneAndALengthlessBodyEndsWithTheConnection) {
    FakeResponse response;
    response.body = generatedBody(1000);
    response.announceLength = false;
    response.maxPiece = 600;  // the session may hand out less than was asked for
    serve(response);
    session.beforeRead = [this](std::int64_t) { ticks.advance(500); };

    const DownloadResult result = download();

    EXPECT_TRUE(result.complete());
    EXPECT_EQ(readFileBytes(dir / "Pluvik.rar"), generatedBody(1000));
    ASSERT_EQ(statuses.size(), 4u);
    EXPECT_EQ(statuses[1], "已下载 600 字节  [ 1200字节(1.17 KB) /秒 ]");
    EXPECT_EQ(statuses[2], "已下载 1000 字节  [ 1000 字节 /秒 ]");
    EXPECT_EQ(statuses.back(), "共下载 1000 字节");
}

// The speed figure of a progress line, in bytes per second.
std::int64_t shownSpeed(const std::string& status) {
    const std::size_t open = status.find("[ ");
    return open == std::string::npos ? -1 : std::stoll(status.substr(open + 2));
}

TEST_F(DownloadFileTest, TheSpeedFollowsTheLineNotTheBurstsOfPieces) {
    // 64 KB arrive every 200 ms (327,680 bytes a second); the 32 pieces of each arrival are read
    // within three milliseconds. For four seconds, then the line slows to a quarter.
    FakeResponse response;
    response.body = generatedBody(64 * 1024 * 30);
    serve(response);
    int piece = 0;
    session.beforeRead = [&](std::int64_t delivered) {
        const std::int64_t gap = delivered < 64 * 1024 * 20 ? 200 : 800;
        if (piece % 32 == 0)
            ticks.advance(static_cast<std::uint32_t>(gap));
        else if (piece % 10 == 0)
            ticks.advance(1);
        ++piece;
    };

    ASSERT_TRUE(download().complete());

    // statuses: the connecting line, a line per piece, the closing line.
    ASSERT_EQ(statuses.size(), 2u + 30u * 32u);
    // Once the first second is over (the average before it counts the wait for the first data too).
    for (int i = 6 * 32; i < 20 * 32; ++i) {
        const std::int64_t speed = shownSpeed(statuses[1 + i]);
        EXPECT_NEAR(speed, 327680, 327680 / 4) << "piece " << i << ": " << statuses[1 + i];
    }
    // Two seconds after the line slowed, the speed says so.
    const std::int64_t slower = shownSpeed(statuses[1 + 30 * 32 - 1]);
    EXPECT_NEAR(slower, 81920, 81920 / 4) << statuses[1 + 30 * 32 - 1];
}

TEST_F(DownloadFileTest, AnUnreachableServerOrNoSessionLeavesTheEarlierFile) {
    writeEarlierFile("update.txt", "6.0\r\n");
    // No answer for the URL: the server cannot be reached.
    DownloadResult result = download("update.txt");
    EXPECT_EQ(result.outcome, DownloadOutcome::OpenFailed);
    EXPECT_EQ(statuses, (std::vector<std::string>{"正在连接服务器...", "打开URL错误"}));
    EXPECT_EQ(session.closes, 1);

    session.rootFails = true;
    serve(FakeResponse{.body = "6.02"});
    result = download("update.txt");
    EXPECT_EQ(result.outcome, DownloadOutcome::OpenFailed);
    EXPECT_EQ(statuses.back(), "打开URL错误");
    EXPECT_EQ(session.opened.size(), 1u);  // no URL is opened without a root
    EXPECT_EQ(session.closes, 1);          // and a root that did not open is not closed

    EXPECT_EQ(readFileBytes(dir / "update.txt"), "6.0\r\n");
    EXPECT_EQ(files(), std::vector<std::string>{"update.txt"});
}

TEST_F(DownloadFileTest, AnErrorStatusIsNotSavedAsTheFile) {
    for (int status : {404, 500, 302}) {
        statuses.clear();
        writeEarlierFile("update.txt", "6.0\r\n");
        serve(FakeResponse{.status = status, .body = "<html>not here</html>"});

        const DownloadResult result = download("update.txt");

        EXPECT_EQ(result.outcome, DownloadOutcome::HttpError) << status;
        EXPECT_EQ(result.statusCode, status);
        EXPECT_EQ(readFileBytes(dir / "update.txt"), "6.0\r\n") << status;
        EXPECT_EQ(files(), std::vector<std::string>{"update.txt"}) << status;
        EXPECT_EQ(statuses.back(), "下载失败：服务器返回 " + std::to_string(status) + "，未保存 update.txt");
        EXPECT_EQ(session.liveUrls, 0);
    }
}

TEST_F(DownloadFileTest, ATransferThatBreaksOffLeavesNoFile) {
    struct Case {
        FakeResponse::Fault fault;
        bool announceLength;
        DownloadOutcome outcome;
        std::string status;
    };
    const Case cases[] = {
        {FakeResponse::Fault::EndEarly, true, DownloadOutcome::BrokeOff,
         "下载中断：只收到 3000 字节（应为 10000 字节），未保存 Pluvik.rar"},
        {FakeResponse::Fault::Fail, true, DownloadOutcome::BrokeOff,
         "下载中断：只收到 3000 字节（应为 10000 字节），未保存 Pluvik.rar"},
        {FakeResponse::Fault::Fail, false, DownloadOutcome::BrokeOff,
         "下载中断：收到 3000 字节后连接断开，未保存 Pluvik.rar"},
        {FakeResponse::Fault::TimeOut, true, DownloadOutcome::TimedOut,
         "下载超时：服务器长时间没有响应，已收到 3000 字节，未保存 Pluvik.rar"},
    };
    for (const Case& c : cases) {
        statuses.clear();
        serve(FakeResponse{
            .generatedSize = 10000, .announceLength = c.announceLength, .fault = c.fault, .faultAt = 3000});

        const DownloadResult result = download();

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.total, 3000);
        EXPECT_EQ(statuses.back(), c.status);
        EXPECT_TRUE(files().empty()) << c.status;
        EXPECT_EQ(session.liveUrls, 0);
    }
}

TEST_F(DownloadFileTest, GivingUpInTheMiddleClosesEverythingAndLeavesNoFile) {
    serve(FakeResponse{.generatedSize = 100000});
    // The window is closed while the third piece is on its way; no fourth read follows.
    session.beforeRead = [this](std::int64_t delivered) {
        if (delivered >= 4096) cancelRequested = true;
    };

    const DownloadResult result = download();

    EXPECT_EQ(result.outcome, DownloadOutcome::Cancelled);
    EXPECT_EQ(result.total, 6144);
    EXPECT_EQ(session.reads, 3);
    EXPECT_EQ(statuses.back(), "下载已取消");
    EXPECT_TRUE(files().empty());
    EXPECT_EQ(session.liveUrls, 0);
    EXPECT_EQ(session.closes, 1);
}

TEST_F(DownloadFileTest, AnUnwritableProgramDirectoryIsReported) {
    serve(FakeResponse{.body = "6.02"});
    const DownloadResult result = DownloadFile(session, ticks, dir / "missing", kUrl, "update.txt", hooks);
    EXPECT_EQ(result.outcome, DownloadOutcome::WriteFailed);
    EXPECT_EQ(statuses.back(), "无法写入文件 update.txt");
    EXPECT_EQ(session.liveUrls, 0);
}

TEST_F(DownloadFileTest, AReplacedFileIsOnlyReplacedWhenTheNewOneIsWhole) {
    writeEarlierFile("update.txt", "6.0\r\n");
    serve(FakeResponse{.body = "6.02\r\nPluvik\r\n"});
    EXPECT_TRUE(download("update.txt").complete());
    EXPECT_EQ(readFileBytes(dir / "update.txt"), "6.02\r\nPluvik\r\n");

    // A leftover half file from an earlier run is not taken for the start of this one.
    writeEarlierFile(partialDownloadName("update.txt"), "junk that must go");
    serve(FakeResponse{.body = "6.03"});
    EXPECT_TRUE(download("update.txt").complete());
    EXPECT_EQ(readFileBytes(dir / "update.txt"), "6.03");
    EXPECT_EQ(files(), std::vector<std::string>{"update.txt"});
}

TEST_F(DownloadFileTest, AHugePackageIsStreamedInPieces) {
    constexpr std::int64_t kSize = 6 * 1024 * 1024 + 7;
    serve(FakeResponse{.generatedSize = kSize});
    session.beforeRead = [this](std::int64_t) { ticks.advance(1); };

    const DownloadResult result = download();

    EXPECT_TRUE(result.complete());
    EXPECT_EQ(fs::file_size(dir / "Pluvik.rar"), static_cast<std::uintmax_t>(kSize));
    EXPECT_EQ(readFileBytes(dir / "Pluvik.rar"), generatedBody(kSize));
    EXPECT_EQ(session.largestRead, kDownloadChunkSize);
    EXPECT_EQ(statuses.back(), "共下载 6291463 字节");
}

}  // namespace
}  // namespace pluvik

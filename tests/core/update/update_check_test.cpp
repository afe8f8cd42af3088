#include "update/update_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fakes/fake_internet_session.h"
#include "fakes/fake_tick_counter.h"
#include "shell/file_io.h"
#include "shell/text_codec.h"

namespace pluvik {
namespace {

namespace fs = std::filesystem;
using test::FakeInternetSession;
using test::FakeResponse;
using test::FakeTickCounter;
using test::generatedBody;

const UpdateAddresses kAddresses{"http://update.example/up.txt", "http://update.example/Pluvik.rar"};

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pluvik-update-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        hooks.showStatus = [this](const std::string& text) { statuses.push_back(text); };
    }
    void TearDown() override { fs::remove_all(dir); }

    void installed(const std::string& version) const {
        write("up.ini", utf8ToGbk("[软件更新]\r\n软件版本=" + version + "\r\n"));
    }
    void latest(const std::string& version) {
        session.responses[kAddresses.description] = FakeResponse{.body = version + "\r\nPluvik 新版\r\n"};
    }
    void package(std::int64_t size) {
        session.responses[kAddresses.package] = FakeResponse{.generatedSize = size};
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    bool packageRequested() const {
        return std::count(session.opened.begin(), session.opened.end(), kAddresses.package) > 0;
    }
    CheckDecision run() { return check.run(session, ticks, hooks); }

    fs::path dir;
    UpdateCheck check{fs::path(), kAddresses};
    FakeInternetSession session;
    FakeTickCounter ticks;
    DownloadHooks hooks;
    std::vector<std::string> statuses;
};

TEST_F(UpdateCheckTest, ANewerVersionBringsThePackageAndOpensIt) {
    check = UpdateCheck(dir, kAddresses);
    installed("6.0");
    latest("6.02");
    package(1000);

    const CheckDecision decision = run();

    EXPECT_EQ(check.LatestVersion, "6.02");
    EXPECT_EQ(check.InstalledVersion, "6.0");
    EXPECT_TRUE(check.PackageDownloaded);
    EXPECT_FALSE(decision.showUpToDate);
    EXPECT_EQ(decision.packageToOpen, dir / "Pluvik.rar");
    EXPECT_EQ(readFileBytes(dir / "Pluvik.rar"), generatedBody(1000));
    // The description file is removed before the package comes.
    EXPECT_FALSE(fs::exists(dir / "update.txt"));
    EXPECT_EQ(session.opened, (std::vector<std::string>{kAddresses.description, kAddresses.package}));
    EXPECT_EQ(statuses.back(), "共下载 1000 字节");
}

TEST_F(UpdateCheckTest, TheSameOrAHigherInstalledVersionOnlyTellsTheUser) {
    // 6.10 reads as 6.1, which is older than 6.9.
    for (auto [mine, theirs] : {std::pair{"6.02", "6.02"}, {"6.9", "6.10"}, {"7", "6.02.0368"}}) {
        check = UpdateCheck(dir, kAddresses);
        session.opened.clear();
        installed(mine);
        latest(theirs);
        package(1000);

        const CheckDecision decision = run();

        EXPECT_TRUE(decision.showUpToDate) << mine << " / " << theirs;
        EXPECT_FALSE(decision.packageToOpen);
        EXPECT_FALSE(packageRequested()) << mine << " / " << theirs;
        EXPECT_FALSE(fs::exists(dir / "Pluvik.rar"));
        EXPECT_EQ(check.LatestVersion, theirs);
    }
}

TEST_F(UpdateCheckTest, AMissingInstalledVersionCountsAsZero) {
    for (const char* ini :
         std::initializer_list<const char*>{"", "[软件更新]\r\n", "[软件更新]\r\n软件版本=\r\n", nullptr}) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        check = UpdateCheck(dir, kAddresses);
        if (ini) write("up.ini", utf8ToGbk(ini));
        latest("6.02");
        package(300);

        const CheckDecision decision = run();

        EXPECT_EQ(check.InstalledVersion, "");
        EXPECT_TRUE(check.PackageDownloaded);
        EXPECT_EQ(decision.packageToOpen, dir / "Pluvik.rar");
    }
    // The empty value was removed from the file, as reading with no default does.
    EXPECT_FALSE(fs::exists(dir / "up.ini"));
}

TEST_F(UpdateCheckTest, AnUnreachableServerFallsBackOnTheEarlierDescription) {
    check = UpdateCheck(dir, kAddresses);
    installed("6.0");
    write("update.txt", "6.02\r\n");
    package(500);
    // Only the description server is down; the package still comes.
    const CheckDecision decision = run();
    EXPECT_EQ(statuses[1], "打开URL错误");
    EXPECT_EQ(check.LatestVersion, "6.02");
    EXPECT_EQ(decision.packageToOpen, dir / "Pluvik.rar");
}

TEST_F(UpdateCheckTest, KnowingNothingOfTheLatestVersionClaimsNothing) {
    check = UpdateCheck(dir, kAddresses);
    installed("6.2.368");
    // Unreachable, and no earlier description on disk.
    CheckDecision decision = run();
    EXPECT_FALSE(decision.showUpToDate);
    EXPECT_FALSE(decision.packageToOpen);
    EXPECT_EQ(statuses.back(), "打开URL错误");

    // A captive portal's page is no description either.
    session.responses[kAddresses.description] = FakeResponse{.status = 404, .body = "<html>portal</html>"};
    decision = run();
    EXPECT_FALSE(decision.showUpToDate);
    EXPECT_FALSE(fs::exists(dir / "update.txt"));
}

TEST_F(UpdateCheckTest, APackageThatDidNotArriveWholeIsNeverOpened) {
    const FakeResponse broken[] = {
        FakeResponse{.status = 404, .body = "<html>gone</html>"},
        FakeResponse{.generatedSize = 1000, .fault = FakeResponse::Fault::EndEarly, .faultAt = 500},
        FakeResponse{.generatedSize = 1000, .fault = FakeResponse::Fault::TimeOut, .faultAt = 0},
    };
    for (const FakeResponse& response : broken) {
        check = UpdateCheck(dir, kAddresses);
        installed("6.0");
        latest("6.02");
        write("Pluvik.rar", "an older package");
        session.responses[kAddresses.package] = response;

        const CheckDecision decision = run();

        EXPECT_FALSE(check.PackageDownloaded);
        EXPECT_FALSE(decision.packageToOpen);
        EXPECT_FALSE(decision.showUpToDate);
        EXPECT_FALSE(fs::exists(dir / "Pluvik.rar"));
        EXPECT_FALSE(fs::exists(dir / partialDownloadName("Pluvik.rar")));
    }
}

TEST_F(UpdateCheckTest, ADownloadedPackageIsOpenedAgainByALaterCheck) {
    check = UpdateCheck(dir, kAddresses);
    installed("6.0");
    latest("6.02");
    package(1000);
    ASSERT_TRUE(run().packageToOpen);

    // The new version is installed by now; the package is still there and is offered again.
    installed("6.02");
    session.opened.clear();
    const CheckDecision decision = run();
    EXPECT_TRUE(decision.showUpToDate);
    EXPECT_EQ(decision.packageToOpen, dir / "Pluvik.rar");
    EXPECT_FALSE(packageRequested());

    // Without the package on disk there is nothing to open.
    fs::remove(dir / "Pluvik.rar");
    EXPECT_FALSE(run().packageToOpen);
}

TEST_F(UpdateCheckTest, GivingUpStopsTheCheck) {
    check = UpdateCheck(dir, kAddresses);
    installed("6.0");
    latest("6.02");
    package(100000);
    bool stop = false;
    hooks.cancelled = [&] { return stop; };
    session.beforeRead = [&](std::int64_t delivered) {
        if (session.opened.back() == kAddresses.package && delivered > 0) stop = true;
    };

    const CheckDecision decision = run();

    EXPECT_TRUE(decision.cancelled);
    EXPECT_FALSE(decision.packageToOpen);
    EXPECT_FALSE(decision.showUpToDate);
    EXPECT_FALSE(check.PackageDownloaded);
    EXPECT_FALSE(fs::exists(dir / "Pluvik.rar"));
}

TEST_F(UpdateCheckTest, TheEnginesListTheDescriptionNamesComesBeforeThePackage) {
    const std::string list = "http://update.example/engines.txt";
    check = UpdateCheck(dir, kAddresses);
    installed("6.0");
    session.responses[kAddresses.description] = FakeResponse{.body = "6.02\r\nengines=/engines.txt\r\n"};
    session.responses[list] = FakeResponse{.body = "# version=7\nbaidu=https://a.example/?q={keyword}\n# end\n"};
    package(100);

    CheckDecision decision = run();

    EXPECT_EQ(session.opened, (std::vector<std::string>{kAddresses.description, list, kAddresses.package}));
    ASSERT_TRUE(decision.engineList && decision.engineList->list);
    EXPECT_EQ(decision.engineList->list->version, "7");
    EXPECT_EQ(decision.packageToOpen, dir / "Pluvik.rar");
    EXPECT_FALSE(fs::exists(dir / kEngineListFileName));

    // Cut short: refused, and an earlier copy on disk is not taken for it.
    write(kEngineListFileName, "# version=8\n# end\n");
    session.responses[list].fault = FakeResponse::Fault::EndEarly;
    session.responses[list].faultAt = 20;
    decision = run();
    ASSERT_TRUE(decision.engineList);
    EXPECT_FALSE(decision.engineList->list);
    EXPECT_EQ(decision.engineList->refusal, "download_failed");

    // An old server's description names none.
    latest("6.02");
    EXPECT_FALSE(run().engineList);
}

TEST(UpdateDescription, OnlyACarriageReturnEndsTheFirstLine) {
    EXPECT_EQ(firstLine("6.02\r\nPluvik"), "6.02");
    EXPECT_EQ(firstLine("6.02\nPluvik\r\n"), "6.02\nPluvik");
    EXPECT_EQ(firstLine("6.02"), "6.02");
    EXPECT_EQ(firstLine(""), "");
}

}  // namespace
}  // namespace pluvik

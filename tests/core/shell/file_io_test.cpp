#include "shell/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace pluvik;
namespace fs = std::filesystem;

namespace {

class FileIo : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("pluvik-file-io-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                 std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void put(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // Everything in the folder, so a stray temporary file shows up.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_dir;
};

TEST_F(FileIo, WriteReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    const fs::path file = m_dir / "Gn.txt";
    put(file, "old contents that are longer than the new ones\r\n");
    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, std::string("a\0b\r\n", 5), &error)) << error;
    EXPECT_EQ(readFileBytes(file), std::string("a\0b\r\n", 5));
    EXPECT_EQ(entries(), std::vector<std::string>{"Gn.txt"});
}

TEST_F(FileIo, WriteKeepsThePermissionsOfTheFileItReplaces) {
    const fs::path file = m_dir / "up.ini";
    put(file, "x");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeFileAtomically(file, "y"));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileIo, OrdinaryPermissionsFollowTheUmask) {
    const fs::path folder = m_dir / "page_files";
    fs::create_directory(folder);
    put(m_dir / "page.mht", "x");
    put(folder / "a.png", "x");
    fs::permissions(m_dir / "page.mht", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(folder / "a.png", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(folder, fs::perms::owner_all);
    const mode_t before = ::umask(027);
    EXPECT_TRUE(giveOrdinaryPermissions(m_dir / "page.mht"));
    EXPECT_TRUE(giveOrdinaryPermissions(folder));
    ::umask(before);
    const auto rw_r = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    EXPECT_EQ(fs::status(m_dir / "page.mht").permissions(), rw_r);
    EXPECT_EQ(fs::status(folder / "a.png").permissions(), rw_r);
    EXPECT_EQ(fs::status(folder).permissions(),
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_FALSE(giveOrdinaryPermissions(m_dir / "missing"));
}

TEST_F(FileIo, FailedWriteReportsWhyAndCleansUp) {
    // No such folder: the temporary file cannot even be created.
    std::string error;
    EXPECT_FALSE(writeFileAtomically(m_dir / "missing" / "Gn.txt", "x", &error));
    // The reason is for the user, in the program's own words, not the system's English.
    EXPECT_EQ(error, "无法在文件夹“" + (m_dir / "missing").string() + "”中建立文件（文件夹不存在）");

    // A folder in the target's place: the rename fails after the temporary file was written, and that
    // file must not be left behind.
    fs::create_directory(m_dir / "DIY.txt");
    error.clear();
    EXPECT_FALSE(writeFileAtomically(m_dir / "DIY.txt", "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(entries(), std::vector<std::string>{"DIY.txt"});
    EXPECT_TRUE(fs::is_directory(m_dir / "DIY.txt"));
}

TEST_F(FileIo, ReadingAndExistenceCountOnlyRegularFiles) {
    put(m_dir / "empty.txt", "");
    EXPECT_EQ(readFileBytes(m_dir / "empty.txt"), std::string());
    EXPECT_TRUE(fileExists(m_dir / "empty.txt"));

    EXPECT_EQ(readFileBytes(m_dir / "none.txt"), std::nullopt);
    EXPECT_FALSE(fileExists(m_dir / "none.txt"));
    EXPECT_EQ(readFileBytes(m_dir), std::nullopt);
    EXPECT_FALSE(fileExists(m_dir));
}

}  // namespace

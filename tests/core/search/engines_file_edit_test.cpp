#include "search/engines_file_edit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "search/engine_addresses.h"
#include "shell/text_codec.h"

using namespace pluvik;
namespace fs = std::filesystem;

namespace {

const AddressTemplate kNew{"https://n.test/s?q=", "&x=1", KeywordEncoding::Utf8};

TEST(EnginesFileEdit, ChangesOnlyTheLinesOfTheKeysChangedAndKeepsEverythingElse) {
    const std::string text =
        "# 我的引擎\r\n"
        "Baidu = http://old.test/{keyword}\r\n"
        "; 注释\r\n"
        "sogou=http://s.test/{keyword}\r\n"
        "no equals sign\r\n"
        "weird=whatever\r\n"
        "baidu=http://older.test/{keyword} gbk\r\n"
        "\r\n"
        "google=http://g.test/{keyword}";
    const std::string edited = editEnginesText(
        text, {{"baidu", kNew}, {"sogou", std::nullopt}, {"yahoo", AddressTemplate{"http://y.test/", "", {}}}});
    EXPECT_EQ(edited,
              "# 我的引擎\r\n"
              "; 注释\r\n"
              "no equals sign\r\n"
              "weird=whatever\r\n"
              "baidu=https://n.test/s?q={keyword}&x=1 utf-8\r\n"
              "\r\n"
              "google=http://g.test/{keyword}\r\n"
              "yahoo=http://y.test/{keyword}\r\n");
    // What the program reads back is what was asked.
    const EngineAddresses back = parseEngineAddresses(edited);
    ASSERT_EQ(back.addresses.size(), 3u);
    EXPECT_EQ(back.addresses[0].address, kNew);
    EXPECT_EQ(editEnginesText("", {{"baidu", std::nullopt}}), "");
}

TEST(EnginesFileEdit, AValueTheUserTypedIsJudgedAsALineOfTheFile) {
    EXPECT_EQ(addressProblemText("https://a.test/s?q={keyword} utf-8"), "");
    EXPECT_NE(addressProblemText("ftp://a.test/{keyword}").find("http://"), std::string::npos);
    EXPECT_NE(addressProblemText("https://a.test/s?q=").find("没有 {keyword}"), std::string::npos);
    EXPECT_NE(addressProblemText("https://a.test/{keyword}/{keyword}").find("只能出现一次"), std::string::npos);
    EXPECT_NE(addressProblemText("https://a.test/{keyword} big5").find("编码"), std::string::npos);
}

class EnginesFileSave : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("pluvik-engines-edit-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string read(const fs::path& p) { return readFileBytes(p).value_or("<none>"); }
    fs::path file() const { return m_dir / "engines.txt"; }
    fs::path m_dir;
};

TEST_F(EnginesFileSave, KeepsTheOldFileAsABackupAndItsEncoding) {
    const std::string gbk = utf8ToGbk("# 百度搬家了\nbaidu=http://b.test/{keyword}\n");
    std::ofstream(file(), std::ios::binary) << gbk;
    std::string error;
    ASSERT_TRUE(saveEngineChanges(file(), {{"baidu", kNew}}, &error)) << error;
    EXPECT_EQ(read(m_dir / "engines.txt.bak"), gbk);
    EXPECT_EQ(read(file()), utf8ToGbk("# 百度搬家了\nbaidu=https://n.test/s?q={keyword}&x=1 utf-8\n"));

    // A UTF-8 file stays UTF-8; one whose new text would read as GBK gets a byte-order mark.
    std::ofstream(file(), std::ios::binary) << "# 中文\nsogou=http://s.test/{keyword}\n";
    ASSERT_TRUE(saveEngineChanges(file(), {{"baidu", AddressTemplate{"http://e.test/é/", "", {}}}}));
    EXPECT_EQ(read(file()), "\xEF\xBB\xBF# 中文\nsogou=http://s.test/{keyword}\nbaidu=http://e.test/é/{keyword}\n");

    // A disk that refuses the new file leaves the old one as it was, and says why.
    const std::string before = read(file());
    int writes = 0;
    const FileWriter failsSecond = [&](const fs::path& p, std::string_view bytes, std::string* e) {
        if (++writes == 2) {
            if (e) *e = "磁盘已满";
            return false;
        }
        return writeFileAtomically(p, bytes, e);
    };
    error.clear();
    EXPECT_FALSE(saveEngineChanges(file(), {{"baidu", std::nullopt}}, &error, failsSecond));
    EXPECT_EQ(error, "磁盘已满");
    EXPECT_EQ(read(file()), before);
}

TEST_F(EnginesFileSave, ANewFileHasNoBackup) {
    ASSERT_TRUE(saveEngineChanges(file(), {{"mini_baidu", kNew}}));
    EXPECT_EQ(read(file()), "mini_baidu=https://n.test/s?q={keyword}&x=1 utf-8\n");
    EXPECT_FALSE(fs::exists(m_dir / "engines.txt.bak"));
}

}  // namespace

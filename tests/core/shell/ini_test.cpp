#include "shell/ini.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "shell/file_io.h"
#include "shell/ini_file.h"
#include "shell/text_codec.h"

using namespace pluvik;
namespace fs = std::filesystem;

namespace {

// ---- IniFile: the reader and the line-preserving writer ----

TEST(IniFile, ReadsValuesAsTheProfileFunctionsDo) {
    const IniFile ini(
        "top=before any section\r\n"
        "[Main]\r\n"
        "  Plain  =  6.2  \r\n"
        "quoted=\"  spaced  \"\r\n"
        "single=' x '\r\n"
        "half=\"open\r\n"
        "bare key\r\n"
        "eq=a=b\r\n"
        "; hidden=1\r\n"
        "[ other ] trailing text\n"
        "plain=second section\n"
        "[main]\r\n"
        "late=only the first section of a name counts\r\n");
    EXPECT_EQ(ini.value("MAIN", "plain"), "6.2");
    EXPECT_EQ(ini.value("main", "quoted"), "  spaced  ");
    EXPECT_EQ(ini.value("main", "single"), " x ");
    EXPECT_EQ(ini.value("main", "half"), "\"open");
    EXPECT_EQ(ini.value("main", "bare key"), std::nullopt);
    EXPECT_EQ(ini.value("main", "eq"), "a=b");
    EXPECT_EQ(ini.value("main", "; hidden"), std::nullopt);
    EXPECT_EQ(ini.value("main", "top"), std::nullopt);
    EXPECT_EQ(ini.value("Other", "PLAIN"), "second section");
    EXPECT_EQ(ini.value("main", "late"), std::nullopt);
    EXPECT_EQ(ini.value("nowhere", "plain"), std::nullopt);
}

TEST(IniFile, ALoneCarriageReturnEndsALineAndIsKeptOnWrite) {
    IniFile ini("[\xC8\xED\xBC\xFE\xB8\xFC\xD0\xC2]\r\xC8\xED\xBC\xFE\xB0\xE6\xB1\xBE=6.2\rnote=1\r");
    EXPECT_EQ(ini.value("\xC8\xED\xBC\xFE\xB8\xFC\xD0\xC2", "\xC8\xED\xBC\xFE\xB0\xE6\xB1\xBE"), "6.2");
    EXPECT_EQ(ini.value("\xC8\xED\xBC\xFE\xB8\xFC\xD0\xC2", "note"), "1");
    ini.setValue("\xC8\xED\xBC\xFE\xB8\xFC\xD0\xC2", "note", "2");
    EXPECT_EQ(ini.bytes(),
              "[\xC8\xED\xBC\xFE\xB8\xFC\xD0\xC2]\r\xC8\xED\xBC\xFE\xB0\xE6\xB1\xBE=6.2\rnote=2\r");
}

TEST(IniFile, CaseFoldingNeverTouchesTheSecondByteOfAChineseCharacter) {
    // "\xB0\x41" and "\xB0\x61" are two different characters whose second bytes look like 'A' and 'a';
    // "\xB0\x5D" ends in the byte of ']'.
    const IniFile ini("[\xB0\x5D]\r\n\xB0\x41=upper\r\n");
    EXPECT_EQ(ini.value("\xB0\x5D", "\xB0\x41"), "upper");
    EXPECT_EQ(ini.value("\xB0\x5D", "\xB0\x61"), std::nullopt);
}

TEST(IniFile, WritesChangeOnlyTheLineConcerned) {
    const std::string original =
        "; installed version\r\n"
        "[Update]\r\n"
        "Version = 6.1\r\n"
        "other=1\n"
        "\r\n"
        "; next section\r\n"
        "[Last]\r\n"
        "x=1";  // no final line end
    IniFile ini(original);

    ini.setValue("update", "version", "6.2");
    EXPECT_EQ(
        ini.bytes(),
        "; installed version\r\n[Update]\r\nVersion=6.2\r\nother=1\n\r\n; next section\r\n[Last]\r\nx=1");

    ini.setValue("Update", "added", "yes");
    ini.setValue("Last", "y", "2");
    ini.setValue("New", "k", "v");
    EXPECT_EQ(ini.bytes(),
              "; installed version\r\n[Update]\r\nVersion=6.2\r\nother=1\nadded=yes\r\n\r\n; next section\r\n"
              "[Last]\r\nx=1\r\ny=2\r\n[New]\r\nk=v\r\n");

    ini.removeKey("UPDATE", "OTHER");
    ini.removeKey("Update", "missing");
    ini.removeKey("Missing", "x");
    EXPECT_EQ(ini.bytes(),
              "; installed version\r\n[Update]\r\nVersion=6.2\r\nadded=yes\r\n\r\n; next section\r\n"
              "[Last]\r\nx=1\r\ny=2\r\n[New]\r\nk=v\r\n");
}

TEST(IniFile, UnchangedFileRoundTripsByteForByte) {
    using namespace std::string_literals;
    const std::string odd = "\xEF\xBB\xBFno section\n[a\r\n[b]\r\r\n\x00\x01=\xFF\r\n  \t\r\nend"s;
    EXPECT_EQ(IniFile(odd).bytes(), odd);
}

// ---- ReadIni: reading up.ini with the write-back of the default ----

class ReadIni : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir =
            fs::temp_directory_path() /
            ("pluvik-ini-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_ini.IniFileName = (m_dir / "up.ini").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void put(const std::string& bytes) { std::ofstream(m_ini.IniFileName, std::ios::binary) << bytes; }
    std::optional<std::string> onDisk() const { return readFileBytes(m_ini.IniFileName); }

    fs::path m_dir;
    Ini m_ini;
};

TEST_F(ReadIni, ReadsTheInstalledVersionFromAGbkFile) {
    put(utf8ToGbk("; 禾朔\r\n[软件更新]\r\n软件版本=6.2\r\n"));
    EXPECT_EQ(m_ini.ReadIni("软件更新", "软件版本", std::nullopt), "6.2");
    put("[Update]\r\nVERSION=6.2\r\n");
    EXPECT_EQ(m_ini.ReadIni("update", "Version", std::nullopt), "6.2");
    // The value may itself be Chinese.
    put(utf8ToGbk("[软件更新]\r\n软件版本=测试版\r\n"));
    EXPECT_EQ(m_ini.ReadIni("软件更新", "软件版本", "0"), "测试版");
}

TEST_F(ReadIni, MissingKeyWithoutDefaultChangesNothing) {
    const std::string original = "[Update]\r\nother=1\r\n";
    put(original);
    EXPECT_EQ(m_ini.ReadIni("Update", "version", std::nullopt), "");
    EXPECT_EQ(onDisk(), original);

    fs::remove(m_ini.IniFileName);
    EXPECT_EQ(m_ini.ReadIni("Update", "version", std::nullopt), "");
    EXPECT_FALSE(fs::exists(m_ini.IniFileName));
}

TEST_F(ReadIni, EmptyValueWithoutDefaultRemovesJustThatKey) {
    put(utf8ToGbk("; 安装信息\r\n[软件更新]\r\n软件版本=   \r\n作者=禾朔\r\n\r\n[其他]\r\n软件版本=\r\n"));
    EXPECT_EQ(m_ini.ReadIni("软件更新", "软件版本", std::nullopt), "");
    EXPECT_EQ(onDisk(), utf8ToGbk("; 安装信息\r\n[软件更新]\r\n作者=禾朔\r\n\r\n[其他]\r\n软件版本=\r\n"));
}

TEST_F(ReadIni, MissingOrEmptyValueWithTextDefaultWritesTheDefaultBack) {
    put("[Update]\r\nversion=\r\n");
    EXPECT_EQ(m_ini.ReadIni("Update", "version", "1.0"), "1.0");
    EXPECT_EQ(onDisk(), "[Update]\r\nversion=1.0\r\n");

    fs::remove(m_ini.IniFileName);
    EXPECT_EQ(m_ini.ReadIni("软件更新", "软件版本", "1.0"), "1.0");
    EXPECT_EQ(onDisk(), utf8ToGbk("[软件更新]\r\n软件版本=1.0\r\n"));
}

TEST_F(ReadIni, LongValueIsCutAt143BytesWithoutSplittingACharacter) {
    const std::string ascii(200, '7');
    put("[s]\r\nk=" + ascii + "\r\n");
    EXPECT_EQ(m_ini.ReadIni("s", "k", std::nullopt), std::string(143, '7'));

    // 142 ASCII bytes and then a two-byte character: the character does not fit and is dropped.
    put("[s]\r\nk=" + std::string(142, 'a') + utf8ToGbk("软件") + "\r\n");
    EXPECT_EQ(m_ini.ReadIni("s", "k", std::nullopt), std::string(142, 'a'));
    // 71 two-byte characters fill 142 bytes; the 72nd would need bytes 143 and 144.
    std::string chinese;
    for (int i = 0; i < 80; ++i) chinese += "软";
    put("[s]\r\nk=" + utf8ToGbk(chinese) + "\r\n");
    EXPECT_EQ(m_ini.ReadIni("s", "k", std::nullopt), chinese.substr(0, 71 * 3));
}

TEST_F(ReadIni, NulBytesAreRemovedFromTheValue) {
    put(std::string("[s]\r\nk=6\0.2\r\n", 13));
    EXPECT_EQ(m_ini.ReadIni("s", "k", std::nullopt), "6.2");
}

TEST_F(ReadIni, FailedWriteBackStillGivesTheDefault) {
    Ini ini([](const fs::path&, std::string_view, std::string* error) {
        if (error) *error = "disk full";
        return false;
    });
    ini.IniFileName = m_ini.IniFileName;
    put("[s]\r\nk=\r\n");
    EXPECT_EQ(ini.ReadIni("s", "k", "9"), "9");
    EXPECT_EQ(onDisk(), "[s]\r\nk=\r\n");
}

}  // namespace

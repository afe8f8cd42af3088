#include "shell/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "shell/file_io.h"
#include "shell/text_codec.h"

using namespace pluvik;
namespace fs = std::filesystem;

namespace {

std::string repeat(const std::string& line, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += line;
    return out;
}

const std::string kDefaultGn = repeat(" 1 \r\n", 21) + "True\r\nFalse\r\n";
const std::string kDefaultDiy = " 0 \r\n 0 \r\n\r\n\r\n\r\n\r\n";

// ---- The record ----

TEST(Settings, IndexedAccessFollowsTheTabOrder) {
    Settings s;
    s.setEngine(0, 5);
    s.setEngine(2, 0);
    s.setEngine(20, 7);
    EXPECT_EQ(s.baidu, 5);
    EXPECT_EQ(s.sogou, 0);
    EXPECT_EQ(s.gougou, 7);
    EXPECT_EQ(s.engine(1), 1);
    s.setDiy(2, 1);
    s.diy1name = "一";
    EXPECT_EQ(s.opendiy2, 1);
    EXPECT_EQ(s.diy(1), 0);
    EXPECT_EQ(s.diyName(1), "一");
    EXPECT_THROW(s.engine(21), std::out_of_range);
    EXPECT_THROW(s.diy(3), std::out_of_range);
}

// ---- The file formats ----

TEST(SettingsFormat, DefaultsAreWrittenByteForByte) {
    EXPECT_EQ(formatGn(Settings{}), kDefaultGn);
    EXPECT_EQ(formatDiy(Settings{}), kDefaultDiy);
}

TEST(SettingsFormat, EveryLineKeepsItsPlace) {
    Settings s;
    s.google = 0;
    s.gougou = -5;
    s.sousuo = false;
    s.ie = true;
    s.opendiy1 = 1;
    s.diy1name = "我的搜索";
    s.diy2name = "two\r\nlines";  // must not shift the lines after it
    s.diy1url = "http://a.example/s?wd=";

    const std::string gn = formatGn(s);
    EXPECT_EQ(gn, " 1 \r\n 0 \r\n" + repeat(" 1 \r\n", 18) + "-5 \r\nFalse\r\nTrue\r\n");
    const std::string diy = formatDiy(s);
    EXPECT_EQ(diy,
              " 1 \r\n 0 \r\n" + utf8ToGbk("我的搜索") + "\r\ntwo  lines\r\nhttp://a.example/s?wd=\r\n\r\n");
    EXPECT_NE(diy.find("\xCE\xD2\xB5\xC4\xCB\xD1\xCB\xF7"), std::string::npos);  // GBK on disk

    Settings back;
    parseGn(gn, back);
    parseDiy(diy, back);
    s.diy2name = "two  lines";
    EXPECT_EQ(back, s);
}

TEST(SettingsFormat, EncodingsFollowTheSixLinesOnlyOnceAnEngineReadsUtf8) {
    Settings s;
    s.diy2encoding = KeywordEncoding::Utf8;
    const std::string diy = formatDiy(s);
    EXPECT_EQ(diy, kDefaultDiy + "GBK\r\nUTF-8\r\n");
    Settings back;
    parseDiy(diy, back);
    EXPECT_EQ(back, s);

    // Any case reads; a word that is neither keeps what the field had.
    Settings words;
    words.diy1encoding = KeywordEncoding::Utf8;
    parseDiy(kDefaultDiy + "sometimes\r\n utf-8 \r\n", words);
    EXPECT_EQ(words.diy1encoding, KeywordEncoding::Utf8);
    EXPECT_EQ(words.diy2encoding, KeywordEncoding::Utf8);
}

TEST(SettingsFormat, DiyFileReadsTheSameSavedAsGbkOrUtf8) {
    const std::string utf8 = " 1 \r\n 0 \r\n我的搜索\r\n维基\r\nhttp://a.example/s?wd=\r\n\r\n";
    Settings fromGbk, fromUtf8, fromMarked;
    parseDiy(utf8ToGbk(utf8), fromGbk);
    parseDiy(utf8, fromUtf8);
    parseDiy("\xEF\xBB\xBF" + utf8, fromMarked);
    EXPECT_EQ(fromGbk.diy1name, "我的搜索");
    EXPECT_EQ(fromGbk.opendiy1, 1);
    EXPECT_EQ(fromUtf8, fromGbk);
    EXPECT_EQ(fromMarked, fromGbk);
}

TEST(SettingsFormat, NumberLinesTakeTheLeadingNumber) {
    struct Case {
        const char* line;
        std::int16_t value;
    };
    const Case cases[] = {{" 1 ", 1},
                          {"1", 1},
                          {"0", 0},
                          {"  7abc", 7},
                          {"abc", 0},
                          {"", 0},
                          {"-3 ", -3},
                          {"+2", 2},
                          {"70000", 4464},
                          {"-32769", 32767},
                          {"99999999999999999999", -1}};
    for (const Case& c : cases) {
        Settings s;
        parseGn(std::string(c.line) + "\r\n", s);
        EXPECT_EQ(s.baidu, c.value) << "line \"" << c.line << "\"";
        EXPECT_EQ(s.google, 1) << "only the first line was given";
    }
    Settings marked;
    parseGn("\xEF\xBB\xBF" "2\r\n", marked);
    EXPECT_EQ(marked.baidu, 2) << "a byte-order mark is not part of the number";
}

TEST(SettingsFormat, BooleanLinesTakeWordsOrNumbersAndKeepTheDefaultOtherwise) {
    struct Case {
        const char* line;
        bool sousuo;  // default true
        bool ie;      // default false
    };
    const Case cases[] = {{"True", true, true},     {"False", false, false}, {"0", false, false},
                          {"5", true, true},        {"65536", true, true},   {" true ", true, true},
                          {"garbage", true, false}, {"", true, false}};
    for (const Case& c : cases) {
        Settings s;
        parseGn(repeat(" 1 \r\n", 21) + c.line + "\r\n" + c.line + "\r\n", s);
        EXPECT_EQ(s.sousuo, c.sousuo) << "line \"" << c.line << "\"";
        EXPECT_EQ(s.ie, c.ie) << "line \"" << c.line << "\"";
    }
}

TEST(SettingsFormat, ShortOrDamagedFilesKeepDefaultsForWhatIsMissing) {
    Settings s;
    parseGn(" 0 \n0\r\n 0", s);  // bare LF, no final line end
    EXPECT_EQ(s.baidu, 0);
    EXPECT_EQ(s.google, 0);
    EXPECT_EQ(s.sogou, 0);
    EXPECT_EQ(s.yahoo, 1);
    EXPECT_TRUE(s.sousuo);

    Settings d;
    parseDiy(" 1 \r\n", d);
    EXPECT_EQ(d.opendiy1, 1);
    EXPECT_EQ(d.opendiy2, 0);
    EXPECT_EQ(d.diy1name, "");

    // Lines past the last field are ignored; invalid GBK in a text becomes U+FFFD.
    Settings e;
    parseDiy(" 0 \r\n 1 \r\nab\xFF\r\nb\r\nc\r\nd\r\nextra\r\n", e);
    EXPECT_EQ(e.diy1name, "ab\xEF\xBF\xBD");
    EXPECT_EQ(e.diy2url, "d");
}

// ---- The store ----

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("pluvik-settings-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                 std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    std::optional<std::string> onDisk(const std::string& name) const { return readFileBytes(m_dir / name); }

    fs::path m_dir;
};

TEST_F(SettingsStoreTest, FirstStartCreatesBothFilesWithTheDefaults) {
    SettingsStore store(m_dir);
    EXPECT_FALSE(store.settingsFilesExist());
    EXPECT_EQ(store.current(), Settings{});
    EXPECT_TRUE(store.isLoaded());
    EXPECT_EQ(onDisk("Gn.txt"), kDefaultGn);
    EXPECT_EQ(onDisk("DIY.txt"), kDefaultDiy);
}

TEST_F(SettingsStoreTest, ExistingFilesAreReadNotOverwritten) {
    const std::string gn = " 1 \r\n 1 \r\n0\r\n" + repeat(" 1 \r\n", 18) + "False\r\nTrue\r\n";
    const std::string diy = " 1 \r\n 0 \r\n" + utf8ToGbk("我的搜索") + "\r\n\r\nhttp://x/?q=\r\n\r\n";
    put("Gn.txt", gn);
    put("DIY.txt", diy);
    SettingsStore store(m_dir);
    const Settings s = store.current();
    EXPECT_EQ(s.sogou, 0);
    EXPECT_FALSE(s.sousuo);
    EXPECT_TRUE(s.ie);
    EXPECT_EQ(s.opendiy1, 1);
    EXPECT_EQ(s.diy1name, "我的搜索");
    EXPECT_EQ(s.diy1url, "http://x/?q=");
    EXPECT_EQ(onDisk("Gn.txt"), gn);
    EXPECT_EQ(onDisk("DIY.txt"), diy);
}

TEST_F(SettingsStoreTest, TruncatedAndBinaryFilesLoadWithDefaults) {
    put("Gn.txt", " 0 \r\n 0 \r\n 0");
    put("DIY.txt", std::string("\x00\xFF\xFE\x81\r\r\r\x01\x02", 9));
    SettingsStore store(m_dir);
    const Settings s = store.current();
    EXPECT_EQ(s.sogou, 0);
    EXPECT_EQ(s.yahoo, 1);
    EXPECT_TRUE(s.sousuo);
    EXPECT_FALSE(s.ie);
    EXPECT_EQ(s.opendiy1, 0);
    EXPECT_EQ(s.diy2name, "");
}

TEST_F(SettingsStoreTest, MissingProgramDirectoryStillGivesDefaults) {
    SettingsStore store(m_dir / "not-there");
    EXPECT_FALSE(store.WriteDefaultSettings());
    EXPECT_FALSE(store.lastError().empty());
    EXPECT_EQ(store.current(), Settings{});
    EXPECT_FALSE(fs::exists(m_dir / "not-there"));
}

TEST_F(SettingsStoreTest, SaveWritesBothFilesAndTheNextReaderReadsTheDisk) {
    SettingsStore store(m_dir);
    Settings s = store.current();
    s.sogou = 0;
    s.opendiy2 = 1;
    s.diy2name = "词典";
    ASSERT_TRUE(store.SaveSettings(s)) << store.lastError();
    EXPECT_FALSE(store.isLoaded());
    EXPECT_EQ(onDisk("Gn.txt"), formatGn(s));
    EXPECT_EQ(onDisk("DIY.txt"), formatDiy(s));

    // Changed behind the store's back: the released record must not hide it.
    put("Gn.txt", " 0 \r\n");
    EXPECT_EQ(store.current().baidu, 0);
    EXPECT_EQ(store.current().diy2name, "词典");
}

TEST_F(SettingsStoreTest, FailedSaveLeavesTheOldFilesAndSaysSo) {
    SettingsStore seed(m_dir);
    seed.LoadSettings();

    int calls = 0;
    SettingsStore store(m_dir, [&](const fs::path& path, std::string_view bytes, std::string* error) {
        // The disk fills up after the first file.
        if (++calls == 1) return writeFileAtomically(path, bytes, error);
        if (error) *error = "no space left on device";
        return false;
    });
    Settings s;
    s.baidu = 0;
    s.opendiy1 = 1;
    EXPECT_FALSE(store.SaveSettings(s));
    EXPECT_EQ(store.lastError(), "no space left on device");
    EXPECT_EQ(onDisk("Gn.txt"), formatGn(s));
    EXPECT_EQ(onDisk("DIY.txt"), kDefaultDiy);
    // The session goes on with what the user chose, also after a later Cancel releases the record.
    EXPECT_EQ(store.current(), s);
    store.Release();
    EXPECT_EQ(store.current(), s);

    SettingsStore full(m_dir, [](const fs::path&, std::string_view, std::string*) { return false; });
    EXPECT_FALSE(full.SaveSettings(Settings{}));
    EXPECT_FALSE(full.lastError().empty());
    EXPECT_EQ(onDisk("Gn.txt"), formatGn(s));
}

TEST_F(SettingsStoreTest, LiveSourceWinsWhileSet) {
    SettingsStore store(m_dir);
    Settings live;
    live.sousuo = false;
    live.ie = true;
    store.setLiveSource([&] { return live; });
    EXPECT_TRUE(store.current().ie);
    live.ie = false;  // the dialog's controls change while it is open
    EXPECT_FALSE(store.current().ie);

    store.clearLiveSource();
    EXPECT_EQ(store.current(), Settings{});
}

}  // namespace

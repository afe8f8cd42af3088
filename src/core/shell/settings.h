#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "search/engine_table.h"
#include "shell/file_io.h"

namespace pluvik {

// The user's settings. Field names are those of the options dialog's controls that show them.
struct Settings {
    static constexpr int kEngineCount = EngineTable::kBuiltInCount;

    // Engine flags, 0 = off, 1 = on; the n-th engine in this order is result tab n.
    std::int16_t baidu = 1, google = 1, sogou = 1, yahoo = 1, youdao = 1, soso = 1, yisou = 1, zhongsou = 1,
                 shiping = 1, music = 1, bbs = 1, draw = 1, blog = 1, dict = 1, why = 1, taobao = 1, news = 1,
                 bt = 1, down = 1, baike = 1, gougou = 1;
    // Links open in the program's own browser window (sousuo) or in the system browser (ie).
    bool sousuo = true;
    bool ie = false;
    // The two user-defined engines: on/off, tab caption, query address prefix (UTF-8).
    std::int16_t opendiy1 = 0, opendiy2 = 0;
    std::string diy1name, diy2name, diy1url, diy2url;
    // How each user-defined engine reads the keyword.
    KeywordEncoding diy1encoding = KeywordEncoding::Gbk, diy2encoding = KeywordEncoding::Gbk;

    // Engine flag of result tab 0..20; std::out_of_range for any other tab.
    std::int16_t engine(int tab) const;
    void setEngine(int tab, std::int16_t value);

    // opendiy1 / opendiy2 and the texts of user-defined engine n (1 or 2); std::out_of_range otherwise.
    std::int16_t diy(int n) const;
    void setDiy(int n, std::int16_t value);
    const std::string& diyName(int n) const;
    const std::string& diyUrl(int n) const;
    KeywordEncoding diyEncoding(int n) const;
    void setDiyEncoding(int n, KeywordEncoding encoding);

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The settings files, byte for byte: GBK text, CR LF after every line. "Gn.txt" holds the 21 engine
// flags, then sousuo and ie; "DIY.txt" holds opendiy1, opendiy2, diy1name, diy2name, diy1url, diy2url,
// and, only when an engine reads UTF-8, two more lines with the engines' encodings ("GBK" or "UTF-8"):
// a reader of the six lines never sees them, and the file of a user who never chose UTF-8 stays as it
// was. A number is written with a blank before and after it (" 1 ", "-5 ": the sign takes the blank's
// place), a boolean as "True" or "False", a text as it is (a line break inside it becomes a blank, so a
// text can never push the lines after it out of place).
std::string formatGn(const Settings& settings);
std::string formatDiy(const Settings& settings);

// Read the files' lines into `settings`. Lines end at CR LF or a bare LF; lines past the last field are
// ignored. A number line gives the number it starts with after blanks (sign allowed; no number gives
// 0), narrowed to 16 bits by wrapping around (70000 gives 4464). A boolean line is "True" or "False"
// (any case) or a number (0 is false, anything else true). An encoding line is "UTF-8" or "GBK" (any
// case). "DIY.txt" is read as textFileToUtf8 reads a file, so a file saved as UTF-8 (with or
// without a byte-order mark) reads as one in GBK; invalid GBK bytes become U+FFFD. A field whose
// line is missing (a short file) or whose boolean or encoding cannot be read keeps the value it had
// in `settings`, so a damaged file loads with the defaults in its place.
void parseGn(std::string_view bytes, Settings& settings);
void parseDiy(std::string_view bytes, Settings& settings);

// The settings record of the program: loaded from the settings files in the program directory on
// first use, replaced by the options dialog's controls while that dialog is open.
class SettingsStore {
public:
    explicit SettingsStore(std::filesystem::path programDir, FileWriter writer = writeFileAtomically);

    // Creates missing files from the defaults, then reads both files into the record. A file that
    // cannot be created or read gives the defaults for its fields.
    void LoadSettings();
    // Creates each missing settings file from the defaults. False when a file could not be created
    // (lastError() says why); the program then runs on the defaults.
    bool WriteDefaultSettings();
    // Replaces "Gn.txt", then "DIY.txt". On success the record is released, so the next reader sees
    // what is on disk. On failure a file not yet replaced keeps its old contents, lastError() says
    // why, and the record holds `settings` so that the rest of this session follows the user's choice.
    bool SaveSettings(const Settings& settings);
    // Discards the record; the next reader loads the files again. A record holding choices that a
    // failed save could not write is kept.
    void Release();
    bool isLoaded() const { return m_record.has_value(); }
    // True when both settings files exist (otherwise loading creates them first).
    bool settingsFilesExist() const;

    // What every reader sees: the live source while one is set, otherwise the record, loaded first if
    // need be.
    Settings current();

    // What the files hold (loaded first if need be), whatever the live source shows: the base of a
    // change made beside an open options dialog, which must not save the dialog's unsaved values.
    Settings stored();

    // The options dialog, while it is open, is the live source of the settings.
    void setLiveSource(std::function<Settings()> source) { m_liveSource = std::move(source); }
    void clearLiveSource() { m_liveSource = nullptr; }

    const std::string& lastError() const { return m_lastError; }
    const std::filesystem::path& programDir() const { return m_programDir; }
    std::filesystem::path gnPath() const { return m_programDir / "Gn.txt"; }
    std::filesystem::path diyPath() const { return m_programDir / "DIY.txt"; }

private:
    bool write(const std::filesystem::path& path, const std::string& bytes);

    std::filesystem::path m_programDir;
    FileWriter m_writer;
    std::optional<Settings> m_record;
    std::function<Settings()> m_liveSource;
    std::string m_lastError;
    bool m_unsaved = false;
};

}  // namespace pluvik

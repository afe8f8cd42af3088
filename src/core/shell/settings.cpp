#include "shell/settings.h"

#include <stdexcept>
#include <vector>

#include "shell/text_codec.h"

namespace pluvik {
namespace {

using EngineField = std::int16_t Settings::*;

struct EngineMember {
    std::string_view field;
    EngineField member;
};

// In the order of "Gn.txt", which is the order of the engine catalogue's tabs.
constexpr std::array<EngineMember, Settings::kEngineCount> kEngineMembers{{
    {"baidu", &Settings::baidu},   {"google", &Settings::google},     {"sogou", &Settings::sogou},
    {"yahoo", &Settings::yahoo},   {"youdao", &Settings::youdao},     {"soso", &Settings::soso},
    {"yisou", &Settings::yisou},   {"zhongsou", &Settings::zhongsou}, {"shiping", &Settings::shiping},
    {"music", &Settings::music},   {"bbs", &Settings::bbs},           {"draw", &Settings::draw},
    {"blog", &Settings::blog},     {"dict", &Settings::dict},         {"why", &Settings::why},
    {"taobao", &Settings::taobao}, {"news", &Settings::news},         {"bt", &Settings::bt},
    {"down", &Settings::down},     {"baike", &Settings::baike},       {"gougou", &Settings::gougou},
}};

constexpr bool membersFollowTheCatalogue() {
    for (size_t i = 0; i < kEngineMembers.size(); ++i) {
        if (kEngineMembers[i].field != EngineTable::kSlots[i].field) return false;
    }
    return true;
}
static_assert(membersFollowTheCatalogue(),
              "a built-in engine of the catalogue has no settings field in its place");

// "Gn.txt": one line per engine, then sousuo and ie.
constexpr size_t kSousuoLine = kEngineMembers.size();
constexpr size_t kIeLine = kSousuoLine + 1;

size_t engineIndex(int tab) {
    if (tab < 0 || tab >= Settings::kEngineCount)
        throw std::out_of_range("no engine tab " + std::to_string(tab));
    return static_cast<size_t>(tab);
}

void checkDiy(int n) {
    if (n != 1 && n != 2) throw std::out_of_range("no user-defined engine " + std::to_string(n));
}

constexpr const char* kLineEnd = "\r\n";

void addInteger(std::string& out, std::int16_t value) {
    if (value >= 0) out += ' ';
    out += std::to_string(value);
    out += ' ';
    out += kLineEnd;
}

void addBoolean(std::string& out, bool value) {
    out += value ? "True" : "False";
    out += kLineEnd;
}

void addText(std::string& out, const std::string& utf8) {
    std::string gbk = utf8ToGbk(utf8);
    for (char& c : gbk) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    out += gbk;
    out += kLineEnd;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        size_t end = lf;
        if (end > start && bytes[end - 1] == '\r') --end;
        lines.push_back(bytes.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct LeadingNumber {
    bool found = false;
    bool nonZero = false;
    std::int16_t narrowed = 0;  // the value modulo 65536, as a 16-bit integer
};

// The number a line starts with after blanks. Digits are accumulated modulo 65536, which is the
// narrowing itself and cannot overflow however long the line is.
LeadingNumber leadingNumber(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    LeadingNumber n;
    std::uint32_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        n.found = true;
        n.nonZero = n.nonZero || line[i] != '0';
        value = (value * 10 + static_cast<std::uint32_t>(line[i] - '0')) & 0xFFFFu;
    }
    if (negative) value = (0x10000u - value) & 0xFFFFu;
    n.narrowed = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return n;
}

std::int16_t parseInteger(std::string_view line) {
    return leadingNumber(line).narrowed;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
    return line;
}

// Leaves `field` as it is when the line is neither word nor number.
void parseBoolean(std::string_view line, bool& field) {
    line = trimmed(line);
    if (equalsIgnoringCase(line, "True")) {
        field = true;
    } else if (equalsIgnoringCase(line, "False")) {
        field = false;
    } else if (const LeadingNumber n = leadingNumber(line); n.found) {
        field = n.nonZero;
    }
}

constexpr const char* kGbkWord = "GBK";
constexpr const char* kUtf8Word = "UTF-8";

// Leaves `field` as it is when the line names neither encoding.
void parseEncoding(std::string_view line, KeywordEncoding& field) {
    line = trimmed(line);
    if (equalsIgnoringCase(line, kGbkWord)) field = KeywordEncoding::Gbk;
    if (equalsIgnoringCase(line, kUtf8Word)) field = KeywordEncoding::Utf8;
}

void addEncoding(std::string& out, KeywordEncoding encoding) {
    out += encoding == KeywordEncoding::Utf8 ? kUtf8Word : kGbkWord;
    out += kLineEnd;
}

}  // namespace

std::int16_t Settings::engine(int tab) const {
    return this->*kEngineMembers[engineIndex(tab)].member;
}

void Settings::setEngine(int tab, std::int16_t value) {
    this->*kEngineMembers[engineIndex(tab)].member = value;
}

std::int16_t Settings::diy(int n) const {
    checkDiy(n);
    return n == 1 ? opendiy1 : opendiy2;
}

void Settings::setDiy(int n, std::int16_t value) {
    checkDiy(n);
    (n == 1 ? opendiy1 : opendiy2) = value;
}

const std::string& Settings::diyName(int n) const {
    checkDiy(n);
    return n == 1 ? diy1name : diy2name;
}

const std::string& Settings::diyUrl(int n) const {
    checkDiy(n);
    return n == 1 ? diy1url : diy2url;
}

KeywordEncoding Settings::diyEncoding(int n) const {
    checkDiy(n);
    return n == 1 ? diy1encoding : diy2encoding;
}

void Settings::setDiyEncoding(int n, KeywordEncoding encoding) {
    checkDiy(n);
    (n == 1 ? diy1encoding : diy2encoding) = encoding;
}

std::string formatGn(const Settings& s) {
    std::string out;
    for (const EngineMember& e : kEngineMembers) addInteger(out, s.*e.member);
    addBoolean(out, s.sousuo);
    addBoolean(out, s.ie);
    return out;
}

std::string formatDiy(const Settings& s) {
    std::string out;
    addInteger(out, s.opendiy1);
    addInteger(out, s.opendiy2);
    addText(out, s.diy1name);
    addText(out, s.diy2name);
    addText(out, s.diy1url);
    addText(out, s.diy2url);
    if (s.diy1encoding != KeywordEncoding::Gbk || s.diy2encoding != KeywordEncoding::Gbk) {
        addEncoding(out, s.diy1encoding);
        addEncoding(out, s.diy2encoding);
    }
    return out;
}

void parseGn(std::string_view bytes, Settings& s) {
    // An editor that saved the file as UTF-8 may have put a byte-order mark before the first number.
    const std::string text = textFileToUtf8(bytes);
    const std::vector<std::string_view> lines = splitLines(text);
    for (size_t i = 0; i < kEngineMembers.size() && i < lines.size(); ++i) {
        s.*kEngineMembers[i].member = parseInteger(lines[i]);
    }
    if (lines.size() > kSousuoLine) parseBoolean(lines[kSousuoLine], s.sousuo);
    if (lines.size() > kIeLine) parseBoolean(lines[kIeLine], s.ie);
}

void parseDiy(std::string_view bytes, Settings& s) {
    const std::string text = textFileToUtf8(bytes);
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.size() > 0) s.opendiy1 = parseInteger(lines[0]);
    if (lines.size() > 1) s.opendiy2 = parseInteger(lines[1]);
    std::string* texts[] = {&s.diy1name, &s.diy2name, &s.diy1url, &s.diy2url};
    for (size_t i = 0; i < 4 && i + 2 < lines.size(); ++i) *texts[i] = std::string(lines[i + 2]);
    if (lines.size() > 6) parseEncoding(lines[6], s.diy1encoding);
    if (lines.size() > 7) parseEncoding(lines[7], s.diy2encoding);
}

SettingsStore::SettingsStore(std::filesystem::path programDir, FileWriter writer)
    : m_programDir(std::move(programDir)), m_writer(std::move(writer)) {}

bool SettingsStore::write(const std::filesystem::path& path, const std::string& bytes) {
    std::string error;
    if (m_writer && m_writer(path, bytes, &error)) return true;
    m_lastError = error.empty() ? "无法写入文件“" + path.string() + "”" : error;
    return false;
}

bool SettingsStore::settingsFilesExist() const {
    return fileExists(gnPath()) && fileExists(diyPath());
}

bool SettingsStore::WriteDefaultSettings() {
    const Settings defaults;
    bool ok = true;
    if (!fileExists(gnPath())) ok = write(gnPath(), formatGn(defaults)) && ok;
    if (!fileExists(diyPath())) ok = write(diyPath(), formatDiy(defaults)) && ok;
    return ok;
}

void SettingsStore::LoadSettings() {
    // A file that cannot be created is not fatal: its fields simply keep their defaults below.
    (void)WriteDefaultSettings();
    Settings s;
    if (const auto gn = readFileBytes(gnPath())) parseGn(*gn, s);
    if (const auto diy = readFileBytes(diyPath())) parseDiy(*diy, s);
    m_record = std::move(s);
    m_unsaved = false;
}

bool SettingsStore::SaveSettings(const Settings& settings) {
    if (!write(gnPath(), formatGn(settings)) || !write(diyPath(), formatDiy(settings))) {
        m_record = settings;
        m_unsaved = true;
        return false;
    }
    m_unsaved = false;
    Release();
    return true;
}

void SettingsStore::Release() {
    // Choices that could not be saved stay in force for the rest of the session; only a record
    // that matches the files can be dropped and read again.
    if (!m_unsaved) m_record.reset();
}

Settings SettingsStore::current() {
    if (m_liveSource) return m_liveSource();
    return stored();
}

Settings SettingsStore::stored() {
    if (!m_record) LoadSettings();
    return *m_record;
}

}  // namespace pluvik

#include "update/engine_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "shell/file_io.h"

namespace pluvik {
namespace {

namespace fs = std::filesystem;

const AddressTemplate kOld{"http://old.example/s?q=", "", KeywordEncoding::Gbk};
const AddressTemplate kNew{"https://new.example/s?q=", "&ie=utf-8", KeywordEncoding::Utf8};
const AddressTemplate kMine{"https://mine.example/?q=", "", KeywordEncoding::Gbk};

TEST(EngineListAddress, ComesFromALineAfterTheVersionAndResolvesOnTheUpdateServer) {
    const std::string url = "http://update.example:8080/pluvik/up.txt";
    EXPECT_EQ(engineListAddress("6.3\r\nengines=/e/list.txt\r\n", url), "http://update.example:8080/e/list.txt");
    EXPECT_EQ(engineListAddress("6.3\r\nPluvik\r\n ENGINES = list.txt\r\n", url),
              "http://update.example:8080/pluvik/list.txt");
    EXPECT_EQ(engineListAddress("6.3\r\nengines=HTTPS://cdn.example/l.txt", url), "https://cdn.example/l.txt");
    // An old server's description, and values that are no address of the web.
    for (const char* description : {"6.3\r\nPluvik\r\n", "engines=/l.txt", "6.3\r\nengines=\r\n",
                                    "6.3\r\nengines=file:///etc/passwd", "6.3\r\nengines=//other.example/l",
                                    "6.3\r\nengines=/a b.txt"})
        EXPECT_FALSE(engineListAddress(description, url)) << description;
}

TEST(EngineListParse, TakesAWholeListOnly) {
    const ParsedEngineList whole = parseEngineList(
        "\xEF\xBB\xBF\r\n# version = 2026.12.1\r\n# moved hosts\r\nbaidu=https://new.example/s?q={keyword}&ie=utf-8 "
        "utf-8\r\n\r\nbaidu=http://old.example/s?q={keyword}\r\n# end\r\n\r\n");
    ASSERT_TRUE(whole.list) << whole.reason;
    EXPECT_EQ(whole.list->version, "2026.12.1");
    ASSERT_EQ(whole.list->addresses.size(), 2u);
    EXPECT_EQ(whole.list->addresses[0].address, kNew);

    const std::pair<std::string, std::pair<std::string, int>> refused[] = {
        {"", {"no_version", 0}},
        {"baidu=http://old.example/s?q={keyword}\n# end\n", {"no_version", 1}},
        {"# version=2026.x\n# end\n", {"bad_version", 1}},
        {"# version=1..2\n# end\n", {"bad_version", 1}},
        {"# version=3\n", {"no_end", 1}},
        // Cut short at a line's end, and in the middle of one.
        {"# version=3\nbaidu=http://old.example/s?q={keyword}\n", {"no_end", 2}},
        {"# version=3\nbaidu=http://old.example/s?q={keyw", {"no_end", 2}},
        {"# version=3\nsogou=http://a.example/\nbaidu=http://b.example/?q={keyword}\n# end", {"keyword_place", 2}},
        {"# version=3\nnewengine=http://a.example/?q={keyword}\n# end", {"unknown_key", 2}},
        {"# version=3\n" + std::string(kMaxEngineListBytes, '#') + "\n# end", {"too_large", 0}},
    };
    for (const auto& [text, why] : refused) {
        const ParsedEngineList parsed = parseEngineList(text);
        EXPECT_FALSE(parsed.list) << text;
        EXPECT_EQ(std::pair(parsed.reason, parsed.line), why) << text.substr(0, 80);
    }
}

TEST(EngineListVersion, ComparesNumberByNumber) {
    EXPECT_EQ(compareListVersions("2026.12.10", "2026.12.9"), 1);
    EXPECT_EQ(compareListVersions("2.1", "2.1.0"), 0);
    EXPECT_EQ(compareListVersions("2.1", "10"), -1);
    EXPECT_EQ(compareListVersions("", "0"), -1);
    EXPECT_EQ(compareListVersions("99999999999999999999999", "99999999999999999999998"), 0);
}

// The engines the tests set up; any other engine uses its built-in address.
struct Engines {
    std::map<std::string, EngineNow> now;
    EngineLookup lookup() const {
        return [this](const std::string& key) {
            const auto it = now.find(key);
            return it == now.end() ? EngineNow{kOld, std::nullopt} : it->second;
        };
    }
};

TEST(EngineListOffer, MarksTheEnginesTheUserSetAndSkipsWhatIsInForce) {
    EngineList list{"5", {{"sogou", kNew}, {"baidu", kNew}, {"google", kNew}, {"yahoo", kNew}, {"soso", kNew}}};
    EngineListRecord record{"4", {{"google", kOld}, {"yahoo", kOld}}};
    Engines engines;
    engines.now["google"] = {kOld, kOld};    // a line an earlier list gave: the list's to change
    engines.now["yahoo"] = {kMine, kMine};  // changed by hand since a list gave it
    engines.now["soso"] = {kNew, kNew};     // already what the list says
    engines.now["sogou"] = {kMine, kMine};  // the user's, no list ever gave it

    const std::vector<OfferedChange> changes = offeredChanges(list, record, engines.lookup());

    std::vector<std::pair<std::string, bool>> seen;
    for (const OfferedChange& c : changes) {
        seen.emplace_back(c.key, c.setByHand);
        EXPECT_EQ(c.to, kNew);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{
                        {"baidu", false}, {"google", false}, {"sogou", true}, {"yahoo", true}}));
    EXPECT_EQ(changes[2].from, kMine);

    // The same version, or an older one, offers nothing.
    record.version = "5.0";
    EXPECT_TRUE(offeredChanges(list, record, engines.lookup()).empty());
}

TEST(EngineListRecord, KeepsWhatTheListsGaveAndSurvivesARoundTrip) {
    const fs::path file = fs::temp_directory_path() / ("pluvik-engine-list-" + std::to_string(::getpid()));
    const EngineList list{"2026.1", {{"baidu", kNew}, {"sogou", kNew}}};
    const EngineListRecord before{"2025.9", {{"google", kOld}, {"yahoo", kOld}, {"sogou", kOld}}};
    Engines engines;
    engines.now["baidu"] = {kNew, kNew};    // applied
    engines.now["sogou"] = {kMine, kMine};  // left to the user
    engines.now["google"] = {kOld, kOld};   // still the earlier list's
    engines.now["yahoo"] = {kMine, kMine};  // changed by hand since

    const EngineListRecord after = recordAfterApplying(list, before, engines.lookup());
    ASSERT_TRUE(writeEngineListRecord(file, after));
    const EngineListRecord read = readEngineListRecord(file);

    EXPECT_EQ(read.version, "2026.1");
    EXPECT_EQ(read.addresses, (std::map<std::string, AddressTemplate, std::less<>>{{"baidu", kNew}, {"google", kOld}}));

    // A record that is not whole is none: every engine of the user's own then counts as set by hand.
    writeFileAtomically(file, readFileBytes(file)->substr(0, 30));
    EXPECT_TRUE(readEngineListRecord(file).addresses.empty());
    fs::remove(file);
    EXPECT_TRUE(readEngineListRecord(file).version.empty());
}

}  // namespace
}  // namespace pluvik

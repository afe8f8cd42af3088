#include "search/engine_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/search_plan.h"
#include "search/service_hosts.h"

using namespace pluvik;

namespace {

TEST(EngineCatalogueTest, AReplacementMadeWhileRunningReachesTheNextSearchAndIsTold) {
    EngineCatalogue engines;
    const EngineCatalogue untouched;
    std::vector<std::string> told;
    const auto id = engines.listen([&](const std::string& key, const AddressTemplate& address) {
        // Told after the change: the catalogue already builds the new address.
        told.push_back(key + " " + engines.address(0, "k").address + " " + address.after);
    });
    const AddressTemplate moved{"https://b.test/s?q=", "&from=p", KeywordEncoding::Utf8};
    EXPECT_TRUE(engines.replace("baidu", moved));
    EXPECT_EQ(told, std::vector<std::string>{"baidu https://b.test/s?q=k&from=p &from=p"});

    // The next search of the main window and its second load of the retry tab use it; another
    // catalogue does not see it.
    const SearchPlan plan = planSearch(engines, "中", {}, {});
    EXPECT_EQ(plan.navigations().front().address, "https://b.test/s?q=%E4%B8%AD&from=p");
    EXPECT_EQ(untouched.address(0, "中").address, serviceAddress(Service::BaiduWeb) + "/s?wd=%D6%D0");
    EXPECT_TRUE(engines.replace("gougou", {"http://g.test/", "", KeywordEncoding::Gbk}));
    EXPECT_EQ(retryAddress(engines, "x"), "http://g.test/x");
    EXPECT_EQ(told.size(), 2u);

    // The mini and dual windows' engines by their own keys, untouched by the main window's.
    EXPECT_TRUE(engines.replace("mini_baidu", {"http://m.test/", "", KeywordEncoding::Gbk}));
    EXPECT_TRUE(engines.replace("dual_google", {"http://d.test/", "", KeywordEncoding::Gbk}));
    EXPECT_EQ(engines.miniAddress(MiniEngineTable::indexOf("baidu"), "x").address, "http://m.test/x");
    const DualAddresses dual = engines.dualAddresses(0, "x");
    EXPECT_EQ(dual.left, serviceAddress(Service::BaiduWeb) + "/s?wd=x");
    EXPECT_EQ(dual.right, "http://d.test/x");

    // An unknown key changes nothing and tells nobody; a listener that left hears nothing more.
    EXPECT_FALSE(engines.replace("opendiy1", moved));
    EXPECT_FALSE(engines.replace("mini_nothing", moved));
    EXPECT_EQ(told.size(), 4u);
    engines.stopListening(id);
    EXPECT_TRUE(engines.replace("baidu", {"http://c.test/", "", KeywordEncoding::Gbk}));
    EXPECT_EQ(told.size(), 4u);
    EXPECT_EQ(engines.address(0, "x").address, "http://c.test/x");

    // Put back: the built-in address on the current host again, told; once only.
    told.clear();
    engines.listen([&](const std::string& key, const AddressTemplate& address) { told.push_back(key + address.before); });
    EXPECT_EQ(engines.replaced("baidu")->before, "http://c.test/");
    EXPECT_TRUE(engines.restore("baidu"));
    EXPECT_FALSE(engines.restore("baidu"));
    EXPECT_FALSE(engines.replaced("baidu"));
    EXPECT_EQ(engines.current("baidu"), untouched.query(0));
    EXPECT_EQ(told, std::vector<std::string>{"baidu" + serviceAddress(Service::BaiduWeb) + "/s?wd="});
    EXPECT_EQ(engines.current("mini_baidu").before, "http://m.test/");
    EXPECT_EQ(engines.builtIn("mini_baidu"), untouched.miniQuery(MiniEngineTable::indexOf("baidu")));
    EXPECT_THROW(engines.current("opendiy1"), std::out_of_range);
}

TEST(EngineCatalogueTest, EveryKeyNamesOneEngineOfOneWindow) {
    const std::vector<std::string> keys = engineKeys();
    EXPECT_EQ(keys.size(),
              size_t(EngineTable::kBuiltInCount + MiniEngineTable::kCount + 2 * DualPairTable::kCount));
    EngineCatalogue engines;
    for (const std::string& key : keys) {
        EXPECT_TRUE(isEngineKey(key)) << key;
        EXPECT_TRUE(engines.replace(key, {"http://" + key + ".test/", "", KeywordEncoding::Gbk})) << key;
    }
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab)
        EXPECT_EQ(engines.address(tab, "x").address,
                  "http://" + std::string(EngineTable::slot(tab).field) + ".test/x");
    for (int i = 0; i < MiniEngineTable::kCount; ++i)
        EXPECT_EQ(engines.miniAddress(i, "x").address, "http://" + MiniEngineTable::key(i) + ".test/x");
    EXPECT_EQ(engines.dualAddresses(3, "x").right, "http://dual_zhongsou.test/x");
}

}  // namespace

#include "search/search_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "search/engine_catalogue.h"
#include "search/query_address.h"
#include "search/service_hosts.h"
#include "shell/settings.h"

using namespace pluvik;

namespace {

const EngineCatalogue kEngines;

std::vector<SearchStepKind> kinds(const SearchPlan& plan) {
    std::vector<SearchStepKind> result;
    for (const SearchStep& s : plan.steps) result.push_back(s.kind);
    return result;
}

bool has(const SearchPlan& plan, SearchStepKind kind) {
    const std::vector<SearchStepKind> all = kinds(plan);
    return std::find(all.begin(), all.end(), kind) != all.end();
}

std::vector<int> tabs(const SearchPlan& plan) {
    std::vector<int> result;
    for (const Navigation& n : plan.navigations()) result.push_back(n.tab);
    return result;
}

}  // namespace

TEST(SearchPlan, EmptyKeywordOnlyShowsTheMessage) {
    const SearchPlan plan = planSearch(kEngines, "", {{true, "http://a/?q="}, {true, ""}}, KeywordHistory{});
    EXPECT_TRUE(plan.refused);
    EXPECT_EQ(plan.message, "请先输入关键词");
    EXPECT_TRUE(plan.steps.empty());
}

TEST(SearchPlan, StepsComeInTheOrderTheWindowCarriesThemOut) {
    const DiyEngines diy{{true, "http://one.example/?q="}, {true, "http://two.example/s/"}};
    const SearchPlan plan = planSearch(kEngines, "中文", diy, KeywordHistory{});
    ASSERT_FALSE(plan.refused);

    using K = SearchStepKind;
    std::vector<K> expected{K::SetSearchStarted, K::StartTimer2, K::ShowWaitWindow};
    expected.insert(expected.end(), 21, K::Navigate);
    expected.insert(expected.end(), {K::StartTimer4, K::Navigate, K::Navigate, K::AddToHistory});
    EXPECT_EQ(kinds(plan), expected);

    const std::vector<Navigation> navigations = plan.navigations();
    ASSERT_EQ(navigations.size(), 23u);
    for (int tab = 0; tab < 23; ++tab) EXPECT_EQ(navigations[tab].tab, tab);
    EXPECT_EQ(navigations[0].address, serviceAddress(Service::BaiduWeb) + "/s?wd=%D6%D0%CE%C4");
    EXPECT_EQ(navigations[10].address, serviceAddress(Service::QihooWenda) +
                                           "/wenda.php?kw=%D6%D0%CE%C4&do=search&area=2&src=wenda_tab");
    EXPECT_EQ(navigations[21].address, "http://one.example/?q=%D6%D0%CE%C4");
    EXPECT_EQ(navigations[22].address, "http://two.example/s/%D6%D0%CE%C4");
    EXPECT_EQ(plan.steps.back().text, "中文");
}

TEST(SearchPlan, UserEnginesAreNavigatedOnlyWhenSwitchedOn) {
    std::vector<int> builtIn;
    for (int tab = 0; tab <= 20; ++tab) builtIn.push_back(tab);

    EXPECT_EQ(tabs(planSearch(kEngines, "x", {{false, "http://a/"}, {false, "http://b/"}}, {})), builtIn);

    const SearchPlan second = planSearch(kEngines, "x", {{false, "http://a/"}, {true, ""}}, {});
    builtIn.push_back(22);
    EXPECT_EQ(tabs(second), builtIn);
    EXPECT_EQ(second.navigations().back().address, "x");  // an empty prefix: the bare keyword
}

TEST(SearchPlan, UserEnginesTakeTheirEncodingAndWhatGbkLacksIsNamed) {
    const DiyEngines diy{{true, "http://u.example/?q=", KeywordEncoding::Utf8},
                         {true, "http://g.example/?q="}};
    const SearchPlan plan = planSearch(kEngines, "内\xF0\x9F\x98\x80", diy, {});
    const std::vector<Navigation> navigations = plan.navigations();
    EXPECT_EQ(navigations[21].address, "http://u.example/?q=%E5%86%85%F0%9F%98%80");
    EXPECT_EQ(navigations[22].address, "http://g.example/?q=%C4%DA%26%23128512%3B");
    EXPECT_EQ(plan.references, "\xF0\x9F\x98\x80");
    EXPECT_EQ(planSearch(kEngines, "内", diy, {}).references, "");
}

TEST(SearchPlan, KnownKeywordSearchesAgainWithoutGrowingTheHistory) {
    KeywordHistory history;
    history.add("Pluvik");
    const SearchPlan again = planSearch(kEngines, "Pluvik", {}, history);
    EXPECT_TRUE(has(again, SearchStepKind::ShowWaitWindow));
    EXPECT_EQ(again.navigations().size(), 21u);
    EXPECT_FALSE(has(again, SearchStepKind::AddToHistory));

    EXPECT_TRUE(has(planSearch(kEngines, "pluvik", {}, history), SearchStepKind::AddToHistory));
}

TEST(SearchPlan, BlanksAreAKeywordAndReachTheAddressEscaped) {
    const SearchPlan plan = planSearch(kEngines, "  ", {}, {});
    ASSERT_FALSE(plan.refused);
    EXPECT_EQ(plan.navigations()[8].address,
              serviceAddress(Service::YoukuVideoSearch) + "/search_video/q_%20%20");
}

TEST(SearchPlan, EnginesSwitchedOffAreNotNavigatedAndNoneLeftLoadsNothing) {
    Settings settings;
    for (int tab = 0; tab < 21; ++tab) settings.setEngine(tab, 1);
    settings.setEngine(3, 0);
    settings.setEngine(20, 0);
    settings.setEngine(7, 2);  // a held value: its tab stays as it is, and is searched
    settings.opendiy1 = 1;
    const DiyEngines diy{{true, "http://u/?q="}, {false, ""}};
    const SearchPlan plan = planSearch(kEngines, "k", diy, {}, tabsSwitchedOn(settings));
    std::vector<int> expected;
    for (int tab = 0; tab < 22; ++tab)
        if (tab != 3 && tab != 20) expected.push_back(tab);
    EXPECT_EQ(tabs(plan), expected);
    EXPECT_EQ(plan.tabs.count(), expected.size());
    // The retry tab is off: no second load of it.
    EXPECT_FALSE(has(plan, SearchStepKind::StartTimer4));

    const SearchPlan none = planSearch(kEngines, "k", diy, {}, TabSet{});
    using K = SearchStepKind;
    EXPECT_EQ(kinds(none), (std::vector<K>{K::SetStatus, K::AddToHistory}));
    EXPECT_EQ(none.steps.front().text, "所选的搜索引擎都已关闭，没有打开网页");
}

TEST(SearchPlan, ATabOfTheLatestScopeSwitchedOnAgainSearchesItsKeywordOnce) {
    Settings settings;
    for (int tab = 0; tab < 21; ++tab) settings.setEngine(tab, 1);
    LatestSearch latest;
    EXPECT_TRUE(latest.catchUp(kEngines, settings).empty());  // nothing searched yet
    // A search of tabs 5 and 11 with 5 off; outside that scope a tab keeps what it shows.
    latest.searched("中文", TabSet().set(11), TabSet().set(11).set(5));
    EXPECT_EQ(latest.catchUp(kEngines, settings),
              (std::vector<Navigation>{{5, kEngines.address(5, "中文").address}}));
    EXPECT_TRUE(latest.catchUp(kEngines, settings).empty());
}

TEST(SearchPlan, RetryLoadsTheGougouAddressOfTheCurrentText) {
    EXPECT_EQ(retryAddress(kEngines, "新 text"),
              serviceAddress(Service::Gougou) + "/search?search=%D0%C2%20text");
}

#include "search/search_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "search/query_address.h"
#include "search/service_hosts.h"

using namespace pluvik;

namespace {

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
    const SearchPlan plan = planSearch("", {{true, "http://a/?q="}, {true, ""}}, KeywordHistory{});
    EXPECT_TRUE(plan.refused);
    EXPECT_EQ(plan.message, "请先输入关键词");
    EXPECT_TRUE(plan.steps.empty());
}

TEST(SearchPlan, StepsComeInTheOrderTheWindowCarriesThemOut) {
    const DiyEngines diy{{true, "http://one.example/?q="}, {true, "http://two.example/s/"}};
    const SearchPlan plan = planSearch("中文", diy, KeywordHistory{});
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

    EXPECT_EQ(tabs(planSearch("x", {{false, "http://a/"}, {false, "http://b/"}}, {})), builtIn);

    const SearchPlan second = planSearch("x", {{false, "http://a/"}, {true, ""}}, {});
    builtIn.push_back(22);
    EXPECT_EQ(tabs(second), builtIn);
    EXPECT_EQ(second.navigations().back().address, "x");  // an empty prefix: the bare keyword
}

TEST(SearchPlan, UserEnginesTakeTheirEncodingAndWhatGbkLacksIsNamed) {
    const DiyEngines diy{{true, "http://u.example/?q=", KeywordEncoding::Utf8},
                         {true, "http://g.example/?q="}};
    const SearchPlan plan = planSearch("内\xF0\x9F\x98\x80", diy, {});
    const std::vector<Navigation> navigations = plan.navigations();
    EXPECT_EQ(navigations[21].address, "http://u.example/?q=%E5%86%85%F0%9F%98%80");
    EXPECT_EQ(navigations[22].address, "http://g.example/?q=%C4%DA%26%23128512%3B");
    EXPECT_EQ(plan.references, "\xF0\x9F\x98\x80");
    EXPECT_EQ(planSearch("内", diy, {}).references, "");
}

TEST(SearchPlan, KnownKeywordSearchesAgainWithoutGrowingTheHistory) {
    KeywordHistory history;
    history.add("Pluvik");
    const SearchPlan again = planSearch("Pluvik", {}, history);
    EXPECT_TRUE(has(again, SearchStepKind::ShowWaitWindow));
    EXPECT_EQ(again.navigations().size(), 21u);
    EXPECT_FALSE(has(again, SearchStepKind::AddToHistory));

    EXPECT_TRUE(has(planSearch("pluvik", {}, history), SearchStepKind::AddToHistory));
}

TEST(SearchPlan, BlanksAreAKeywordAndReachTheAddressEscaped) {
    const SearchPlan plan = planSearch("  ", {}, {});
    ASSERT_FALSE(plan.refused);
    EXPECT_EQ(plan.navigations()[8].address,
              serviceAddress(Service::YoukuVideoSearch) + "/search_video/q_%20%20");
}

TEST(SearchPlan, RetryLoadsTheGougouAddressOfTheCurrentText) {
    EXPECT_EQ(retryAddress("新 text"), serviceAddress(Service::Gougou) + "/search?search=%D0%C2%20text");
}

#include "search/search_scope.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(SearchScope, EveryBuiltInEngineIsInExactlyOneGroupAndAllHoldsEveryTab) {
    EXPECT_EQ(ScopeTable::tabs(0).count(), 23u);
    TabSet seen;
    for (int scope = 1; scope < ScopeTable::kCount; ++scope) {
        const TabSet group = ScopeTable::tabs(scope);
        EXPECT_TRUE((seen & group).none()) << scope;
        EXPECT_TRUE(group.any()) << scope;
        seen |= group;
    }
    EXPECT_EQ(seen.count(), 21u);
    EXPECT_FALSE(seen.test(EngineTable::kDiy1Tab));
    EXPECT_EQ(ScopeTable::firstTab(*ScopeTable::find("问答")), 10);
    EXPECT_EQ(ScopeTable::tabs(*ScopeTable::find("图片")), TabSet().set(11));
}

TEST(SearchScope, TheFileKeepsTheScopeAndAnythingElseIsAll) {
    const int music = *ScopeTable::find("音乐");
    EXPECT_EQ(scopeFromFile(scopeFileBytes(music)), music);
    EXPECT_EQ(scopeFromFile(std::string("音乐\r\n")), music);
    EXPECT_EQ(scopeFromFile(std::nullopt), 0);
    EXPECT_EQ(scopeFromFile(std::string("")), 0);
    EXPECT_EQ(scopeFromFile(std::string("电影\n")), 0);
    EXPECT_EQ(scopeFromFile(std::string("\xFF\xFE\x00", 3)), 0);
    EXPECT_EQ(scopeFileBytes(99), "全部\n");
}

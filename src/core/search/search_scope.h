#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "search/pages_opened_rule.h"

namespace pluvik {

// What a search goes to: every engine (全部, the first), or one group of the catalogue's built-in
// engines. The user's own engines have no kind: only 全部 searches them.
struct SearchScope {
    std::string_view name;
    std::uint32_t tabs;  // bit n: result tab n
};

namespace scope_detail {
constexpr std::uint32_t tab(int n) {
    return std::uint32_t{1} << n;
}
}  // namespace scope_detail

class ScopeTable {
    static constexpr auto tab = scope_detail::tab;

public:
    static constexpr std::array<SearchScope, 11> kScopes{{
        {"全部", (std::uint32_t{1} << EngineTable::kSlotCount) - 1},
        {"网页", tab(0) | tab(1) | tab(2) | tab(3) | tab(4) | tab(5) | tab(6) | tab(7) | tab(12)},
        {"图片", tab(11)},
        {"视频", tab(8)},
        {"音乐", tab(9) | tab(20)},
        {"问答", tab(10) | tab(14)},
        {"购物", tab(15)},
        {"百科词典", tab(13) | tab(19)},
        {"新闻", tab(16)},
        {"种子", tab(17)},
        {"软件", tab(18)},
    }};
    static constexpr int kCount = static_cast<int>(kScopes.size());

    static TabSet tabs(int scope);
    // The scope's first tab, the one a search of it brings to the front.
    static int firstTab(int scope);
    // The scope of that name; none for a name the table does not hold.
    static std::optional<int> find(std::string_view name);
};

// The scope file, the program's own (the settings files never hold it): the scope's name in UTF-8 on
// one line. A missing or unreadable file, or a name the table does not know, is 全部.
int scopeFromFile(const std::optional<std::string>& bytes);
std::string scopeFileBytes(int scope);

}  // namespace pluvik

#include "search/search_plan.h"

#include "search/engine_table.h"
#include "search/query_address.h"

namespace pluvik {

std::vector<Navigation> SearchPlan::navigations() const {
    std::vector<Navigation> result;
    for (const SearchStep& s : steps) {
        if (s.kind == SearchStepKind::Navigate) result.push_back({s.tab, s.text});
    }
    return result;
}

SearchPlan planSearch(std::string_view keyword, const DiyEngines& diy, const KeywordHistory& history) {
    SearchPlan plan;
    if (keyword.empty()) {
        plan.refused = true;
        plan.message = kEmptyKeywordMessage;
        return plan;
    }
    auto& steps = plan.steps;
    steps.push_back({SearchStepKind::SetSearchStarted});
    steps.push_back({SearchStepKind::StartTimer2});
    steps.push_back({SearchStepKind::ShowWaitWindow});
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        steps.push_back({SearchStepKind::Navigate, tab, queryAddress(tab, keyword)});
    }
    steps.push_back({SearchStepKind::StartTimer4});
    if (diy.on1)
        steps.push_back({SearchStepKind::Navigate, EngineTable::kDiy1Tab, diyAddress(diy.url1, keyword)});
    if (diy.on2)
        steps.push_back({SearchStepKind::Navigate, EngineTable::kDiy2Tab, diyAddress(diy.url2, keyword)});
    const std::string text(keyword);
    if (!history.contains(text)) steps.push_back({SearchStepKind::AddToHistory, -1, text});
    return plan;
}

std::string retryAddress(std::string_view currentComboText) {
    return queryAddress(EngineTable::kRetryTab, currentComboText);
}

}  // namespace pluvik

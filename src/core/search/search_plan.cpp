#include "search/search_plan.h"

#include "search/engine_catalogue.h"
#include "search/query_address.h"
#include "shell/settings.h"

namespace pluvik {

std::vector<Navigation> SearchPlan::navigations() const {
    std::vector<Navigation> result;
    for (const SearchStep& s : steps) {
        if (s.kind == SearchStepKind::Navigate) result.push_back({s.tab, s.text});
    }
    return result;
}

DiyEngines diyEngines(const Settings& s) {
    return {{s.opendiy1 == 1, s.diy1url, s.diy1encoding}, {s.opendiy2 == 1, s.diy2url, s.diy2encoding}};
}

SearchPlan planSearch(const EngineCatalogue& engines, std::string_view keyword, const DiyEngines& diy,
                      const KeywordHistory& history) {
    SearchPlan plan;
    if (keyword.empty()) {
        plan.refused = true;
        plan.message = kEmptyKeywordMessage;
        return plan;
    }
    auto& steps = plan.steps;
    const auto navigate = [&](int tab, BuiltQuery query) {
        // Only GBK lacks characters, and every GBK engine lacks the same ones of the keyword.
        if (plan.references.empty()) plan.references = std::move(query.references);
        steps.push_back({SearchStepKind::Navigate, tab, std::move(query.address)});
    };
    steps.push_back({SearchStepKind::SetSearchStarted});
    steps.push_back({SearchStepKind::StartTimer2});
    steps.push_back({SearchStepKind::ShowWaitWindow});
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        navigate(tab, engines.address(tab, keyword));
    }
    steps.push_back({SearchStepKind::StartTimer4});
    int tab = EngineTable::kDiy1Tab;
    for (const DiyEngine& engine : {diy.first, diy.second}) {
        if (engine.on) navigate(tab, diyAddress(engine.url, engine.encoding, keyword));
        ++tab;
    }
    const std::string text(keyword);
    if (!history.contains(text)) steps.push_back({SearchStepKind::AddToHistory, -1, text});
    return plan;
}

std::string retryAddress(const EngineCatalogue& engines, std::string_view currentComboText) {
    return engines.address(EngineTable::kRetryTab, currentComboText).address;
}

}  // namespace pluvik

#include "options/option_rules.h"

#include <algorithm>

#include "search/engine_table.h"

namespace pluvik {
namespace {

std::vector<bool> normalised(std::vector<bool> visible) {
    visible.resize(EngineTable::kSlotCount, false);
    return visible;
}

void apply(const TabOp& op, std::vector<bool>& state) {
    if (op.tab < 0 || op.tab >= static_cast<int>(state.size())) return;
    if (op.kind == TabOp::Hide) state[static_cast<size_t>(op.tab)] = false;
    if (op.kind == TabOp::Show) state[static_cast<size_t>(op.tab)] = true;
}

// The main window must keep at least one result tab. When the plan would hide them all, the hide
// that takes the last visible tab away is dropped. When no tab was visible to begin with, the last
// engine tab the plan hides is shown instead, so the dialog mends that state too.
TabPlan keepOneVisible(std::vector<TabOp> ops, const std::vector<bool>& visible) {
    TabPlan plan{std::move(ops)};
    std::vector<bool> state = normalised(visible);
    int lastTakingHide = -1;
    for (size_t i = 0; i < plan.ops.size(); ++i) {
        const TabOp& op = plan.ops[i];
        if (op.kind == TabOp::Hide && op.tab >= 0 && op.tab < EngineTable::kSlotCount &&
            state[static_cast<size_t>(op.tab)]) {
            lastTakingHide = static_cast<int>(i);
        }
        apply(op, state);
    }
    if (std::find(state.begin(), state.end(), true) != state.end()) return plan;

    plan.keptLastTab = true;
    if (lastTakingHide >= 0) {
        // Every hide comes before every show, so nothing later in the plan touches this tab again.
        plan.keptTab = plan.ops[static_cast<size_t>(lastTakingHide)].tab;
        plan.ops.erase(plan.ops.begin() + lastTakingHide);
        return plan;
    }
    plan.keptTab = 0;
    int fallbackRank = -1;
    for (const TabOp& op : plan.ops) {
        if (op.kind != TabOp::Hide) continue;
        // A built-in engine's tab is worth more than an empty user-defined one.
        const int rank = op.tab < EngineTable::kBuiltInCount ? 1 : 0;
        if (rank >= fallbackRank) {
            fallbackRank = rank;
            plan.keptTab = op.tab;
        }
    }
    plan.ops.push_back({TabOp::Show, plan.keptTab, {}});
    return plan;
}

void addShowPass(const Settings& s, std::vector<TabOp>& ops) {
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        if (s.engine(tab) == 1) ops.push_back({TabOp::Show, tab, {}});
    }
}

}  // namespace

std::int16_t tabSwitch(const Settings& settings, int tab) {
    if (tab == EngineTable::kDiy1Tab) return settings.opendiy1;
    if (tab == EngineTable::kDiy2Tab) return settings.opendiy2;
    return settings.engine(tab);
}

TabPlan applyOps(const Settings& s, const std::vector<bool>& visible) {
    std::vector<TabOp> ops;
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        if (s.engine(tab) == 0) ops.push_back({TabOp::Hide, tab, {}});
    }
    addShowPass(s, ops);
    return keepOneVisible(std::move(ops), visible);
}

TabPlan okOps(const Settings& s, const std::vector<bool>& visible) {
    std::vector<TabOp> ops;
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab) {
        if (s.engine(tab) == 0) ops.push_back({TabOp::Hide, tab, {}});
    }
    if (s.opendiy1 == 0) ops.push_back({TabOp::Hide, EngineTable::kDiy1Tab, {}});
    if (s.opendiy2 == 0) ops.push_back({TabOp::Hide, EngineTable::kDiy2Tab, {}});
    addShowPass(s, ops);
    for (int n = 1; n <= 2; ++n) {
        if (s.diy(n) != 1) continue;
        const int tab = n == 1 ? EngineTable::kDiy1Tab : EngineTable::kDiy2Tab;
        ops.push_back({TabOp::Show, tab, {}});
        ops.push_back({TabOp::SetCaption, tab, s.diyName(n)});
    }
    return keepOneVisible(std::move(ops), visible);
}

}  // namespace pluvik

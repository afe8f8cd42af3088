#include "search/search_scope.h"

namespace pluvik {

TabSet ScopeTable::tabs(int scope) {
    if (scope < 0 || scope >= kCount) scope = 0;
    return TabSet(kScopes[static_cast<size_t>(scope)].tabs);
}

int ScopeTable::firstTab(int scope) {
    const TabSet set = tabs(scope);
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab)
        if (set.test(static_cast<size_t>(tab))) return tab;
    return 0;
}

std::optional<int> ScopeTable::find(std::string_view name) {
    for (int scope = 0; scope < kCount; ++scope)
        if (kScopes[static_cast<size_t>(scope)].name == name) return scope;
    return std::nullopt;
}

int scopeFromFile(const std::optional<std::string>& bytes) {
    if (!bytes) return 0;
    std::string_view text = *bytes;
    if (const size_t end = text.find_first_of("\r\n"); end != std::string_view::npos)
        text = text.substr(0, end);
    return ScopeTable::find(text).value_or(0);
}

std::string scopeFileBytes(int scope) {
    if (scope < 0 || scope >= ScopeTable::kCount) scope = 0;
    return std::string(ScopeTable::kScopes[static_cast<size_t>(scope)].name) + "\n";
}

}  // namespace pluvik

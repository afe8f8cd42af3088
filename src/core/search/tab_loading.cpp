#include "search/tab_loading.h"

#include <string_view>

namespace pluvik {

std::vector<Navigation> TabLoading::schedule(const std::vector<Navigation>& loads, int front, bool oneAtLeast) {
    std::vector<Navigation> now;
    for (const Navigation& load : loads) m_waiting.at(static_cast<size_t>(load.tab)).reset();
    if (!m_whenShown) return loads;
    bool frontIsLoaded = false;
    for (const Navigation& load : loads) frontIsLoaded = frontIsLoaded || load.tab == front;
    for (const Navigation& load : loads) {
        const bool goesNow = frontIsLoaded ? load.tab == front : oneAtLeast && now.empty();
        if (goesNow)
            now.push_back(load);
        else
            m_waiting.at(static_cast<size_t>(load.tab)) = load.address;
    }
    return now;
}

std::vector<Navigation> TabLoading::searchStarted(const std::vector<Navigation>& loads, int front) {
    return schedule(loads, front, true);
}

std::vector<Navigation> TabLoading::later(const std::vector<Navigation>& loads, int front) {
    return schedule(loads, front, false);
}

std::optional<Navigation> TabLoading::shown(int tab) {
    if (tab < 0 || tab >= EngineTable::kSlotCount) return std::nullopt;
    auto& address = m_waiting.at(static_cast<size_t>(tab));
    if (!address) return std::nullopt;
    Navigation load{tab, std::move(*address)};
    address.reset();
    return load;
}

std::vector<Navigation> TabLoading::takeAll(const TabSet& tabs) {
    std::vector<Navigation> loads;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab)
        if (tabs.test(static_cast<size_t>(tab)))
            if (auto load = shown(tab)) loads.push_back(std::move(*load));
    return loads;
}

TabSet TabLoading::waitingTabs() const {
    TabSet set;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) set.set(static_cast<size_t>(tab), waiting(tab));
    return set;
}

TabSet TabLoading::tabsOf(const std::vector<Navigation>& loads) {
    TabSet set;
    for (const Navigation& load : loads) set.set(static_cast<size_t>(load.tab));
    return set;
}

bool whenShownFromFile(const std::optional<std::string>& bytes) {
    if (!bytes) return false;
    std::string_view text = *bytes;
    if (const size_t end = text.find_first_of("\r\n"); end != std::string_view::npos) text = text.substr(0, end);
    return text == "1";
}

std::string whenShownFileBytes(bool on) {
    return on ? "1\n" : "0\n";
}

}  // namespace pluvik

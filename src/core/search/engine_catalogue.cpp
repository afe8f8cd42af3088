#include "search/engine_catalogue.h"

#include <stdexcept>
#include <vector>

#include "shell/file_io.h"

namespace pluvik {

bool EngineCatalogue::replace(std::string_view key, AddressTemplate address) {
    if (!isEngineKey(key)) return false;
    const auto [at, inserted] = m_replaced.insert_or_assign(std::string(key), std::move(address));
    tell(at->first, at->second);
    return true;
}

bool EngineCatalogue::restore(std::string_view key) {
    const auto it = m_replaced.find(key);
    if (it == m_replaced.end()) return false;
    const std::string name = it->first;
    m_replaced.erase(it);
    tell(name, builtIn(name));
    return true;
}

void EngineCatalogue::tell(const std::string& key, const AddressTemplate& address) const {
    // A listener may stop listening (or start another) while it is told: tell a copy.
    std::vector<Listener> listeners;
    for (const auto& [id, listener] : m_listeners) listeners.push_back(listener);
    for (const Listener& listener : listeners) listener(key, address);
}

std::optional<AddressTemplate> EngineCatalogue::replaced(std::string_view key) const {
    if (const auto it = m_replaced.find(key); it != m_replaced.end()) return it->second;
    return std::nullopt;
}

AddressTemplate EngineCatalogue::builtIn(std::string_view key) const {
    return onCurrentHost(engineQuery(key));
}

AddressTemplate EngineCatalogue::current(std::string_view key) const {
    return effective(key, engineQuery(key));
}

EngineAddresses EngineCatalogue::applyFile(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes) return {};
    EngineAddresses result = parseEngineAddresses(*bytes);
    for (const EngineAddress& e : result.addresses) replace(e.key, e.address);
    return result;
}

EngineCatalogue::ListenerId EngineCatalogue::listen(Listener listener) {
    const ListenerId id = m_nextListener++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void EngineCatalogue::stopListening(ListenerId id) {
    m_listeners.erase(id);
}

AddressTemplate EngineCatalogue::effective(std::string_view key, const QueryTemplate& query) const {
    if (const auto it = m_replaced.find(key); it != m_replaced.end()) return it->second;
    return onCurrentHost(query);
}

AddressTemplate EngineCatalogue::query(int tab) const {
    if (tab < 0 || tab >= EngineTable::kBuiltInCount) {
        throw std::out_of_range("tab " + std::to_string(tab) + " is not a built-in engine");
    }
    const EngineSlot& s = EngineTable::slot(tab);
    return effective(s.field, *s.query);
}

AddressTemplate EngineCatalogue::miniQuery(int index) const {
    return effective(MiniEngineTable::key(index), MiniEngineTable::engine(index).query);
}

DualAddresses EngineCatalogue::dualAddresses(int index, std::string_view keyword) const {
    const DualPair& p = DualPairTable::pair(index);
    BuiltQuery left = buildQuery(effective(p.leftKey, p.left), keyword);
    const BuiltQuery right = buildQuery(effective(p.rightKey, p.right), keyword);
    // Both sides encode the same keyword: the characters one side lacks are listed once.
    std::string references = left.references;
    if (references.empty()) references = right.references;
    return {std::move(left.address), right.address, std::move(references)};
}

}  // namespace pluvik

#include "search/engine_table.h"

#include <functional>
#include <map>
#include <stdexcept>

#include "search/query_address.h"

namespace pluvik {
namespace {

// The addresses the engines file replaced, by key. Read once at start, before any window searches.
std::map<std::string, AddressTemplate, std::less<>>& replacedAddresses() {
    static std::map<std::string, AddressTemplate, std::less<>> replaced;
    return replaced;
}

AddressTemplate effective(std::string_view key, const QueryTemplate& query) {
    const auto& replaced = replacedAddresses();
    if (const auto it = replaced.find(key); it != replaced.end()) return it->second;
    return onCurrentHost(query);
}

}  // namespace

BuiltQuery buildQuery(const AddressTemplate& query, std::string_view keyword) {
    EncodedKeyword encoded = encodeKeyword(keyword, query.encoding);
    return {query.before + encoded.text + query.after, std::move(encoded.references)};
}

AddressTemplate onCurrentHost(const QueryTemplate& query) {
    return {serviceAddress(query.service) + std::string(query.before), std::string(query.after),
            query.encoding};
}

std::vector<std::string> engineKeys() {
    std::vector<std::string> keys;
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab)
        keys.emplace_back(EngineTable::slot(tab).field);
    for (int i = 0; i < MiniEngineTable::kCount; ++i) keys.push_back(MiniEngineTable::key(i));
    for (const DualPair& pair : DualPairTable::kPairs) {
        keys.emplace_back(pair.leftKey);
        keys.emplace_back(pair.rightKey);
    }
    return keys;
}

bool isEngineKey(std::string_view key) {
    for (const std::string& k : engineKeys()) {
        if (k == key) return true;
    }
    return false;
}

bool setEngineAddress(std::string_view key, AddressTemplate address) {
    if (!isEngineKey(key)) return false;
    replacedAddresses().insert_or_assign(std::string(key), std::move(address));
    return true;
}

void resetEngineAddresses() {
    replacedAddresses().clear();
}

AddressTemplate EngineTable::query(int tab) {
    if (tab < 0 || tab >= kBuiltInCount) {
        throw std::out_of_range("tab " + std::to_string(tab) + " is not a built-in engine");
    }
    const EngineSlot& s = slot(tab);
    return effective(s.field, *s.query);
}

int MiniEngineTable::indexOf(std::string_view option) {
    for (int i = 0; i < kCount; ++i) {
        if (engine(i).option == option) return i;
    }
    return -1;
}

AddressTemplate MiniEngineTable::query(int index) {
    return effective(key(index), engine(index).query);
}

DualAddresses DualPairTable::addresses(int index, std::string_view keyword) {
    const DualPair& p = pair(index);
    BuiltQuery left = buildQuery(effective(p.leftKey, p.left), keyword);
    const BuiltQuery right = buildQuery(effective(p.rightKey, p.right), keyword);
    // Both sides encode the same keyword: the characters one side lacks are listed once.
    std::string references = left.references;
    if (references.empty()) references = right.references;
    return {std::move(left.address), right.address, std::move(references)};
}

DualAddresses DualPairTable::homePages() {
    return {serviceAddress(Service::BaiduWeb) + "/", serviceAddress(Service::GoogleChinaHome) + "/", {}};
}

}  // namespace pluvik

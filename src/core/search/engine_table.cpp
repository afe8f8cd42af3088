#include "search/engine_table.h"

#include <stdexcept>

#include "search/query_address.h"

namespace pluvik {
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

const QueryTemplate& engineQuery(std::string_view key) {
    for (int tab = 0; tab < EngineTable::kBuiltInCount; ++tab)
        if (EngineTable::slot(tab).field == key) return *EngineTable::slot(tab).query;
    for (int i = 0; i < MiniEngineTable::kCount; ++i)
        if (MiniEngineTable::key(i) == key) return MiniEngineTable::engine(i).query;
    for (const DualPair& pair : DualPairTable::kPairs) {
        if (pair.leftKey == key) return pair.left;
        if (pair.rightKey == key) return pair.right;
    }
    throw std::out_of_range("no engine has the key " + std::string(key));
}

int MiniEngineTable::indexOf(std::string_view option) {
    for (int i = 0; i < kCount; ++i) {
        if (engine(i).option == option) return i;
    }
    return -1;
}

DualAddresses DualPairTable::homePages() {
    return {serviceAddress(Service::BaiduWeb) + "/", serviceAddress(Service::GoogleChinaHome) + "/", {}};
}

}  // namespace pluvik

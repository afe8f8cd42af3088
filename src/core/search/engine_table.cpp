#include "search/engine_table.h"

#include "search/query_address.h"

namespace pluvik {

std::string buildQuery(const QueryTemplate& query, std::string_view keyword) {
    std::string address = serviceAddress(query.service);
    address += query.before;
    address += encodeKeyword(keyword);
    address += query.after;
    return address;
}

int MiniEngineTable::indexOf(std::string_view option) {
    for (int i = 0; i < kCount; ++i) {
        if (engine(i).option == option) return i;
    }
    return -1;
}

DualAddresses DualPairTable::addresses(int index, std::string_view keyword) {
    const DualPair& p = pair(index);
    return {buildQuery(p.left, keyword), buildQuery(p.right, keyword)};
}

DualAddresses DualPairTable::homePages() {
    return {serviceAddress(Service::BaiduWeb) + "/", serviceAddress(Service::GoogleChinaHome) + "/"};
}

}  // namespace pluvik

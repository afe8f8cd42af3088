#include "search/engine_page.h"

#include <array>

#include "search/engine_addresses.h"

namespace pluvik {

std::vector<EngineRow> engineRows() {
    std::vector<EngineRow> rows;
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        const EngineSlot& slot = EngineTable::slot(tab);
        if (tab < EngineTable::kBuiltInCount)
            rows.push_back({EngineWindow::Main, tab, std::string(slot.field), std::string(slot.caption)});
        else
            rows.push_back({EngineWindow::User, tab, "diy" + std::to_string(tab - EngineTable::kDiy1Tab + 1),
                            std::string(slot.caption)});
    }
    for (int i = 0; i < MiniEngineTable::kCount; ++i)
        rows.push_back({EngineWindow::Mini, i, MiniEngineTable::key(i),
                        std::string(MiniEngineTable::engine(i).caption)});
    for (int i = 0; i < DualPairTable::kCount; ++i) {
        const DualPair& pair = DualPairTable::pair(i);
        const std::string caption(pair.caption);
        const std::size_t plus = caption.find('+');
        rows.push_back({EngineWindow::Dual, i * 2, std::string(pair.leftKey), caption.substr(0, plus)});
        rows.push_back({EngineWindow::Dual, i * 2 + 1, std::string(pair.rightKey),
                        plus == std::string::npos ? caption : caption.substr(plus + 1)});
    }
    return rows;
}

std::string_view windowCaption(EngineWindow window) {
    static constexpr std::array<std::string_view, 4> kNames{"主窗口", "用户引擎", "Mini", "双屏"};
    return kNames.at(static_cast<size_t>(window));
}

std::string_view resultCaption(EngineResult result) {
    // In the order of EngineResult.
    static constexpr std::array<std::string_view, 6> kNames{"正常",   "服务器错误", "无法连接",
                                                            "未打开", "已转走",     "无关键词"};
    return kNames.at(static_cast<size_t>(result));
}

std::string countsText(const EngineHealth::Summary& summary) {
    if (!summary.last) return {};
    return std::to_string(summary.successes) + " / " + std::to_string(summary.failures);
}

std::string medianText(const EngineHealth::Summary& summary) {
    if (!summary.medianMs) return {};
    return std::to_string(*summary.medianMs) + " 毫秒";
}

std::string_view encodingName(KeywordEncoding encoding) {
    return encoding == KeywordEncoding::Utf8 ? "UTF-8" : "GBK";
}

std::string addressText(const AddressTemplate& address) {
    return address.before + std::string(kKeywordPlace) + address.after;
}

}  // namespace pluvik

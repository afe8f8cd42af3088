#include "search/engine_outcome.h"

#include <array>
#include <cstdlib>

namespace pluvik {

std::string addressHost(std::string_view address) {
    const std::size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string_view::npos) return {};
    std::string_view authority = address.substr(schemeEnd + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    const std::size_t bracket = authority.rfind(']');
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket))
        authority = authority.substr(0, colon);
    std::string host(authority);
    for (char& c : host)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return host;
}

namespace {

// A page that answered with an error status still counts as an answer, however the engine files it.
bool httpFailed(const LoadOutcome& load) {
    return load.httpStatus >= 400;
}

bool endedAway(const EngineReport& report) {
    return addressHost(report.load->url) != addressHost(report.asked);
}

}  // namespace

bool needsKeywordCheck(const EngineReport& report) {
    return report.load && report.load->ok && !httpFailed(*report.load) && !endedAway(report);
}

EngineOutcome decideOutcome(const EngineReport& report) {
    EngineOutcome outcome;
    outcome.host = addressHost(report.asked);
    if (!report.load) return outcome;
    const LoadOutcome& load = *report.load;
    outcome.status = load.httpStatus;
    // An answer's status arrives as the engine's error code too: that is no network error.
    if (load.httpStatus == 0) {
        outcome.errorDomain = load.errorDomain;
        outcome.errorCode = load.errorCode;
    }
    outcome.ms = report.finishedAt - report.navigatedAt;
    outcome.finalHost = addressHost(load.url);
    if (httpFailed(load))
        outcome.result = EngineResult::HttpError;
    else if (!load.ok)
        outcome.result = EngineResult::NetworkError;
    else if (endedAway(report))
        outcome.result = EngineResult::Moved;
    else
        outcome.result = report.keywordShown ? EngineResult::Ok : EngineResult::NoKeyword;
    return outcome;
}

std::string_view resultName(EngineResult result) {
    // In the order of EngineResult.
    static constexpr std::array<std::string_view, 6> kNames{"ok",   "http_error", "network_error",
                                                            "slow", "moved",      "no_keyword"};
    return kNames.at(static_cast<size_t>(result));
}

namespace {

// The engine's network error codes the user can act on, told in plain words.
std::string networkText(int code) {
    switch (std::abs(code)) {
        case 105:
            return "找不到主机";
        case 102:
            return "连接被拒绝";
        case 101:
            return "连接被重置";
        case 324:
            return "服务器没有回应";
        case 7:
        case 118:
            return "连接超时";
        default:
            return "网络错误 " + std::to_string(code);
    }
}

}  // namespace

std::string outcomeText(const EngineOutcome& outcome, int deadlineSeconds) {
    switch (outcome.result) {
        case EngineResult::Ok:
            return {};
        case EngineResult::HttpError:
            return "服务器返回 " + std::to_string(outcome.status);
        case EngineResult::NetworkError:
            return "无法连接：" + networkText(outcome.errorCode) + " " + outcome.host;
        case EngineResult::Slow:
            return std::to_string(deadlineSeconds) + " 秒内未打开";
        case EngineResult::Moved:
            return "已转到 " + outcome.finalHost;
        case EngineResult::NoKeyword:
            return "页面中没有关键词";
    }
    return {};
}

}  // namespace pluvik

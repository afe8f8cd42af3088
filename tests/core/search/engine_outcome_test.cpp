#include "search/engine_outcome.h"

#include <gtest/gtest.h>

using namespace pluvik;

namespace {

EngineReport loaded(bool ok, int status, int code, std::string url, bool keywordShown) {
    EngineReport report{"http://www.Yisou.com:8080/s?q=a", 1000,
                        LoadOutcome{ok, status, 0, code, std::move(url)}, 1250, keywordShown};
    return report;
}

}  // namespace

TEST(EngineOutcome, EachResultFollowsFromWhatThePageReported) {
    const EngineOutcome ok = decideOutcome(loaded(true, 200, 0, "http://www.yisou.com/s?q=a", true));
    EXPECT_EQ(ok.result, EngineResult::Ok);
    EXPECT_EQ(ok.ms, 250);
    EXPECT_EQ(ok.host, "www.yisou.com");
    EXPECT_EQ(outcomeText(ok, 15), "");

    // A 404 with a page of its own may be reported as loaded: the status decides.
    for (bool reportedOk : {true, false}) {
        const EngineOutcome notFound =
            decideOutcome(loaded(reportedOk, 404, 404, "http://www.yisou.com/s", true));
        EXPECT_EQ(notFound.result, EngineResult::HttpError);
        EXPECT_EQ(notFound.errorCode, 0);
        EXPECT_EQ(outcomeText(notFound, 15), "服务器返回 404");
    }

    const EngineOutcome unknownHost =
        decideOutcome(loaded(false, 0, -105, "http://www.yisou.com/s?q=a", false));
    EXPECT_EQ(unknownHost.result, EngineResult::NetworkError);
    EXPECT_EQ(unknownHost.errorCode, -105);
    EXPECT_EQ(outcomeText(unknownHost, 15), "无法连接：找不到主机 www.yisou.com");

    const EngineOutcome moved =
        decideOutcome(loaded(true, 200, 0, "https://user@www.sogou.com/web?q=a", true));
    EXPECT_EQ(moved.result, EngineResult::Moved);
    EXPECT_EQ(moved.finalHost, "www.sogou.com");
    EXPECT_EQ(outcomeText(moved, 15), "已转到 www.sogou.com");

    const EngineOutcome front = decideOutcome(loaded(true, 200, 0, "http://WWW.yisou.com/", false));
    EXPECT_EQ(front.result, EngineResult::NoKeyword);
    EXPECT_EQ(outcomeText(front, 15), "页面中没有关键词");

    EngineReport unfinished = loaded(true, 200, 0, "", true);
    unfinished.load.reset();
    const EngineOutcome slow = decideOutcome(unfinished);
    EXPECT_EQ(slow.result, EngineResult::Slow);
    EXPECT_EQ(slow.ms, -1);
    EXPECT_EQ(outcomeText(slow, 15), "15 秒内未打开");
    EXPECT_EQ(resultName(slow.result), "slow");
}

TEST(EngineOutcome, OnlyAPageThatLoadedOnTheAskedHostIsAskedForTheKeyword) {
    EXPECT_TRUE(needsKeywordCheck(loaded(true, 200, 0, "http://www.yisou.com/s?q=a#top", false)));
    EXPECT_FALSE(needsKeywordCheck(loaded(true, 500, 500, "http://www.yisou.com/s", false)));
    EXPECT_FALSE(needsKeywordCheck(loaded(false, 0, -102, "http://www.yisou.com/s", false)));
    EXPECT_FALSE(needsKeywordCheck(loaded(true, 200, 0, "http://www.sogou.com/", false)));
    EXPECT_EQ(addressHost("http://[::1]:8080/x"), "[::1]");
    EXPECT_EQ(addressHost("about:blank"), "");
}

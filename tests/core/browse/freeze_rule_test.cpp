#include "browse/freeze_rule.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pluvik;

namespace {

// A hidden page that has loaded in its renderer: the one kind of page that is frozen.
FreezeRule loadedHiddenPage() {
    FreezeRule rule;
    rule.setRenderer(true);
    rule.loadStarted();
    rule.loadFinished(true);
    return rule;
}

TEST(FreezeRuleTest, OnlyAHiddenLoadedPageIsFrozen) {
    EXPECT_TRUE(loadedHiddenPage().frozen());
    const std::function<void(FreezeRule&)> keepsAwake[] = {
        [](FreezeRule& r) { r.setVisible(true); },    [](FreezeRule& r) { r.loadStarted(); },
        [](FreezeRule& r) { r.loadFinished(false); }, [](FreezeRule& r) { r.printStarted(); },
        [](FreezeRule& r) { r.setOwnPage(true); },    [](FreezeRule& r) { r.setRenderer(false); },
    };
    for (const auto& fact : keepsAwake) {
        FreezeRule rule = loadedHiddenPage();
        fact(rule);
        EXPECT_FALSE(rule.frozen());
    }
    // A failed page stays awake when shown and hidden again, until a load of it succeeds.
    FreezeRule failed = loadedHiddenPage();
    failed.loadFinished(false);
    failed.setVisible(true);
    failed.setVisible(false);
    EXPECT_FALSE(failed.frozen());
    failed.loadFinished(true);
    EXPECT_TRUE(failed.frozen());
}

TEST(FreezeRuleTest, WhatTheProgramDoesWithAPageWakesItUntilItSettles) {
    // Save, navigate, refresh: awake before the page is touched, frozen again once a load finishes
    // or the tab is shown and hidden.
    FreezeRule rule = loadedHiddenPage();
    rule.use();
    EXPECT_FALSE(rule.frozen());
    rule.loadStarted();
    rule.loadFinished(true);
    EXPECT_TRUE(rule.frozen());
    rule.use();
    rule.setVisible(true);
    rule.setVisible(false);
    EXPECT_TRUE(rule.frozen());

    // Print: awake through the dialog and the job, frozen again when the job is done.
    rule.use();
    rule.printStarted();
    EXPECT_FALSE(rule.frozen());
    rule.printFinished();
    EXPECT_TRUE(rule.frozen());
}

}  // namespace

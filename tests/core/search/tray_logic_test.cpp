#include "search/tray_logic.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pluvik;

TEST(TrayLogic, LeftClick) {
    struct Case {
        const char* name;
        WindowState state;
        std::function<void(TrayLogic&)> before;
        TrayCommand command;
        bool blinking;
        const char* tooltip;
    };
    const auto nothing = [](TrayLogic&) {};
    const auto hiddenByClick = [](TrayLogic& t) { t.leftClick(WindowState::Normal); };
    const auto hiddenByClickThenTick = [](TrayLogic& t) {
        t.leftClick(WindowState::Normal);
        t.blinkTick();
    };
    const auto minimisedThenBlank = [](TrayLogic& t) {
        t.hide();
        t.blinkTick();
    };
    const Case cases[] = {
        {"shown window hides", WindowState::Normal, nothing, TrayCommand::HideWindow, true, "点击恢复窗口"},
        {"second click before the first blink", WindowState::Minimized, hiddenByClick, TrayCommand::None,
         true, "点击恢复窗口"},
        {"click after the first blink", WindowState::Minimized, hiddenByClickThenTick,
         TrayCommand::ShowWindow, false, "Pluvik"},
        {"minimised by the window, no guard", WindowState::Minimized, [](TrayLogic& t) { t.hide(); },
         TrayCommand::ShowWindow, false, "Pluvik"},
        {"minimised, icon blank", WindowState::Minimized, minimisedThenBlank, TrayCommand::ShowWindow, false,
         "Pluvik"},
        {"maximised", WindowState::Maximized, nothing, TrayCommand::None, false, "Pluvik"},
    };
    for (const Case& c : cases) {
        TrayLogic tray;
        tray.install();
        c.before(tray);
        EXPECT_EQ(tray.leftClick(c.state), c.command) << c.name;
        EXPECT_EQ(tray.blinkTimerRunning(), c.blinking) << c.name;
        EXPECT_EQ(tray.tooltip(), c.tooltip) << c.name;
        if (c.command == TrayCommand::ShowWindow) {
            EXPECT_FALSE(tray.iconBlank()) << c.name;
        }
    }
}

TEST(TrayLogic, IconBlinksWhileHiddenAndTheGuardLastsOneTick) {
    TrayLogic tray;
    tray.install();
    EXPECT_EQ(tray.tooltip(), "Pluvik");
    tray.blinkTick();  // not hidden: the timer is stopped
    EXPECT_FALSE(tray.iconBlank());

    tray.leftClick(WindowState::Normal);
    EXPECT_EQ(tray.flashState(), "1");
    std::vector<bool> blank;
    for (int i = 0; i < 4; ++i) {
        tray.blinkTick();
        blank.push_back(tray.iconBlank());
    }
    EXPECT_EQ(blank, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(tray.flashState(), "闪烁");

    EXPECT_EQ(tray.show(), TrayCommand::ShowWindow);
    EXPECT_FALSE(tray.iconBlank());
    tray.blinkTick();
    EXPECT_FALSE(tray.iconBlank());
}

TEST(TrayLogic, RightClickMenuFollowsTheWindowState) {
    TrayLogic tray;
    EXPECT_EQ(tray.rightClick(WindowState::Minimized), (TrayMenuEntries{false, false, true}));
    EXPECT_EQ(tray.rightClick(WindowState::Maximized), (TrayMenuEntries{false, false, true}));
    EXPECT_EQ(tray.rightClick(WindowState::Normal), (TrayMenuEntries{true, true, false}));
    EXPECT_EQ(tray.rightClick(WindowState::Maximized), (TrayMenuEntries{true, true, false}));
}

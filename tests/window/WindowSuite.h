// The main window's cases, written once and run on each toolkit through its
// driver (GtkWindowDriver.cpp on Xvfb, Win32WindowDriver.cpp under Wine): the
// pages painted over the skin (each kept in the artifacts), buttons clicked and
// pressed from the keyboard, Enter in the loop, the skin dragged, the key state
// read behind another window, the tray icon's click and menu, no tick while a
// box or the menu is open, and the loop ending with the window.
//
// A driver makes the window through its toolkit and acts as a person or the
// desktop would, through the display server; unavailable() and trayMissing()
// name what the machine lacks. Places are window coordinates, pixels 0xRRGGBB;
// after(ms, action) is a timer that fires inside a box's or a menu's loop too.
#pragma once

#include "platform/Toolkit.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "ui/ControlIds.h"
#include "ui/UserInterface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

enum class Press { Enter, Tab, Space };

struct WindowPlace {
    int x = 0;
    int y = 0;
};

class RecordingEvents final : public WindowEvents {
public:
    void onPaint(Painter&) override { ++paints; }
    void onCommand(int id) override { commands.push_back(id); }
    void onEndSession() override { ++endSessions; }
    int paints = 0;
    int endSessions = 0;
    std::vector<int> commands;
};

template <class Driver> class WindowSuite : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string missing = Driver::unavailable(); !missing.empty())
            GTEST_SKIP() << missing;
        driver = std::make_unique<Driver>();
        ASSERT_TRUE(driver->made()) << "the window or its skin resources could not be made";
    }
    void TearDown() override
    {
        if (driver)
            driver->window().setEvents(nullptr);
        driver.reset();
    }

    std::unique_ptr<Driver> driver;
};

TYPED_TEST_SUITE_P(WindowSuite);

TYPED_TEST_P(WindowSuite, PaintsEveryPageOverTheSkin)
{
    auto& d = *this->driver;
    RecordingSoundOutput sounds;
    CUserInterface ui(d.window(), sounds);
    d.window().setEvents(&ui);
    ui.OnCreate();
    d.show();
    const std::filesystem::path folder = TypeParam::artifacts();
    std::filesystem::create_directories(folder);
    for (int page :
         {PageLogin, PageHome, PageOptions, PageFlightInformation, PageFlying, PageChecklist, PageReportRoute,
          PageReportFinances, PageReportPenalties, PageWrongVersion, PageFuelTanks, PageReportBackup, PageSimpleFuel,
          PageLoadSheet, PageComment, PageDownload, PageAbortedFlight, PageDivert, PageFuelError}) {
        ui.SetPage(page);
        d.pump(200);
        const auto shot = d.shot();
        const std::filesystem::path stem = folder / ("page_" + std::to_string(page));
        EXPECT_TRUE(shot.save(stem)) << stem.string();
        // The content area is the skin's, the corner outside the outline is cut away.
        EXPECT_EQ(shot.at(577, 352), 0xf3f5f7u) << "page " << page;
        EXPECT_NE(shot.at(1, 1), shot.at(300, 40)) << "page " << page << ": the corner is not cut";
    }
}

TYPED_TEST_P(WindowSuite, ClickOrKeyOnAControlIsItsCommandAndOnTheSkinIsNone)
{
    auto& d = *this->driver;
    RecordingEvents events;
    d.window().setEvents(&events);
    d.window().createControl({ControlKind::Button, 77, "Fly!", 25, 310, 148, 20, StyleVisible});
    d.window().createControl({ControlKind::Button, 78, "Hidden", 25, 334, 148, 20, StyleNone});
    d.window().createControl({ControlKind::CheckBox, 79, "", 25, 280, 12, 12, StyleVisible});
    d.show();
    d.click(60, 318); // the button, which takes the focus
    const auto shot = d.shot();
    EXPECT_EQ(shot.at(60, 310), 0xffffffu) << "the focused button has white edges";
    EXPECT_EQ(shot.at(60, 329), 0xffffffu) << "the focused button has white edges";
    EXPECT_EQ(shot.at(60, 320), 0x889bafu) << "the button's own fill";
    d.press({Press::Space});
    d.pump(150);
    d.click(400, 300);              // the skin
    d.click(60, 342);               // where the hidden button is
    d.click(31, 286);               // the check box
    d.window().setCheck(79, false); // the user interface's own change is no command
    d.pump(100);
    EXPECT_EQ(events.commands, (std::vector<int>{77, 77, 79}));
    EXPECT_FALSE(d.window().getCheck(79));
    EXPECT_GT(events.paints, 0);
}

TYPED_TEST_P(WindowSuite, EnterPressesTheFocusedButtonInTheLoop)
{
    auto& d = *this->driver;
    RecordingEvents events;
    d.window().setEvents(&events);
    d.window().createControl({ControlKind::Button, 77, "Fly!", 25, 310, 148, 20, StyleVisible});
    d.window().createControl({ControlKind::Edit, 101, "", 300, 195, 210, 20, StyleVisible});
    d.show();
    d.click(400, 205); // the edit field
    int ticks = 0;
    d.toolkit().run(d.window(), [&] {
        // Tab moves on to the button; Enter presses it.
        if (++ticks == 1)
            d.press({Press::Tab, Press::Enter});
        d.window().pauseBeforeNextTick(10);
        return events.commands.empty() && ticks < 300;
    });
    EXPECT_EQ(events.commands, (std::vector<int>{77}));
}

TYPED_TEST_P(WindowSuite, DraggingTheSkinMovesTheWindow)
{
    auto& d = *this->driver;
    d.show();
    const WindowPlace before = d.origin();
    d.drag(400, 40, 60, 30);
    const WindowPlace after = d.origin();
    EXPECT_EQ((std::vector<int>{after.x - before.x, after.y - before.y}), (std::vector<int>{60, 30}));
}

TYPED_TEST_P(WindowSuite, KeysSeenWhileAnotherWindowHasTheFocus)
{
    auto& d = *this->driver;
    d.show();
    const auto other = d.otherWindow();
    d.holdKeys(true);
    EXPECT_FALSE(d.focused());
    for (Key key : {Key::L, Key::Control, Key::Shift})
        EXPECT_TRUE(d.window().isKeyDown(key)) << static_cast<int>(key);
    d.holdKeys(false);
    for (Key key : {Key::L, Key::Control, Key::Shift})
        EXPECT_FALSE(d.window().isKeyDown(key)) << static_cast<int>(key);
}

TYPED_TEST_P(WindowSuite, TrayClickShowsTheHiddenWindow)
{
    auto& d = *this->driver;
    if (const std::string missing = d.trayMissing(); !missing.empty())
        GTEST_SKIP() << missing;
    d.window().addTrayIcon("Quenvale");
    d.show();
    d.window().hide();
    d.pump(100);
    ASSERT_FALSE(d.visible());
    ASSERT_TRUE(d.trayClick(false));
    d.pump(200);
    EXPECT_TRUE(d.visible());
}

// The box and the tray menu run their own loops (or hold the toolkit's):
// a timer inside them answers the box or closes the menu.
TYPED_TEST_P(WindowSuite, NoTickWhileAMessageBoxIsOpen)
{
    auto& d = *this->driver;
    int ticks = 0, ticksAtOpen = -1, ticksDuringBox = -1, afterBox = -1;
    bool answered = false;
    // The box opens from the loop, as a button's action would open it; its
    // timer starts with the first tick, as a loaded machine may take longer
    // than the timer to reach the loop's first idle turn.
    auto open = [&] {
        ticksAtOpen = ticks;
        d.after(400, [&] {
            if (d.answerBox("Test"))
                ticksDuringBox = ticks - ticksAtOpen;
        });
        d.window().messageBox("Stop?", "Test", MessageBoxButtons::Ok, MessageBoxIcon::Warning);
        answered = true;
    };
    d.toolkit().run(d.window(), [&] {
        if (++ticks == 1)
            d.after(100, open);
        if (answered && afterBox < 0)
            afterBox = ticks;
        d.window().pauseBeforeNextTick(10);
        return afterBox < 0 || ticks < afterBox + 5;
    });
    EXPECT_GT(ticksAtOpen, 0) << "ticks ran before the box";
    EXPECT_EQ(ticksDuringBox, 0);
    EXPECT_EQ(ticks, afterBox + 5) << "ticks go on once the box is answered";
}

TYPED_TEST_P(WindowSuite, NoTickWhileTheTrayMenuIsOpen)
{
    auto& d = *this->driver;
    if (const std::string missing = d.trayMissing(); !missing.empty())
        GTEST_SKIP() << missing;
    d.window().addTrayIcon("Quenvale");
    int ticks = 0, ticksAtMenu = -1, ticksDuringMenu = -1;
    d.toolkit().run(d.window(), [&] {
        if (++ticks == 3) {
            ticksAtMenu = ticks;
            d.after(400, [&] {
                ticksDuringMenu = ticks - ticksAtMenu;
                d.closeMenu();
            });
            EXPECT_TRUE(d.trayClick(true)); // a right click opens the menu
        }
        d.window().pauseBeforeNextTick(10);
        return ticksDuringMenu < 0 || ticks < ticksAtMenu + 5;
    });
    EXPECT_EQ(ticksDuringMenu, 0);
}

TYPED_TEST_P(WindowSuite, LoopEndsOnceTheWindowIsClosed)
{
    auto& d = *this->driver;
    int ticks = 0;
    d.toolkit().run(d.window(), [&] {
        if (++ticks == 3)
            d.window().close(); // as "Exit" closes it
        return true;
    });
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(d.window().isClosed());
}

REGISTER_TYPED_TEST_SUITE_P(WindowSuite, PaintsEveryPageOverTheSkin, ClickOrKeyOnAControlIsItsCommandAndOnTheSkinIsNone,
                            EnterPressesTheFocusedButtonInTheLoop, DraggingTheSkinMovesTheWindow,
                            KeysSeenWhileAnotherWindowHasTheFocus, TrayClickShowsTheHiddenWindow,
                            NoTickWhileAMessageBoxIsOpen, NoTickWhileTheTrayMenuIsOpen, LoopEndsOnceTheWindowIsClosed);

// The Win32 window under Wine on a private X server (ctest's WineDisplay
// fixture starts one): the skin and every page painted (a bitmap of each page kept in
// <build>/artifacts/win32), owner-drawn buttons clicked and pressed from the
// keyboard through the input queue, no tick while a message box is open, and
// the loop ending with the window.
#include "platform/headless/RecordingSoundOutput.h"
#include "platform/win32ui/Win32MainWindow.h"
#include "platform/win32ui/Win32Toolkit.h"
#include "ui/ControlIds.h"
#include "ui/UserInterface.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 380;

void pump(int ms)
{
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    MSG message;
    while (GetTickCount64() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

// The window as the screen shows it, top-down rows of BGR pixels.
struct Capture {
    std::vector<unsigned char> pixels;
    COLORREF at(int x, int y) const
    {
        const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 3];
        return RGB(p[2], p[1], p[0]);
    }
    bool save(const std::filesystem::path& file) const
    {
        const DWORD imageSize = kWidth * kHeight * 3;
        BITMAPFILEHEADER head{0x4D42, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize, 0, 0,
                              sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
        BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 24, BI_RGB, imageSize, 0, 0, 0, 0};
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&head), sizeof(head));
        out.write(reinterpret_cast<const char*>(&info), sizeof(info));
        out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
        return out.good();
    }
};

Capture capture(HWND window)
{
    RECT place{};
    GetWindowRect(window, &place);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, kWidth, kHeight, screen, place.left, place.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    Capture shot;
    shot.pixels.resize(static_cast<std::size_t>(kWidth) * kHeight * 3);
    GetDIBits(memory, bitmap, 0, kHeight, shot.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

void clickAt(HWND window, int x, int y)
{
    RECT place{};
    GetWindowRect(window, &place);
    SetCursorPos(place.left + x, place.top + y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
    pump(200);
}

// Each key pressed and released, through the input queue.
void sendKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> strokes;
    for (WORD key : keys) {
        INPUT stroke{};
        stroke.type = INPUT_KEYBOARD;
        stroke.ki.wVk = key;
        strokes.push_back(stroke);
        stroke.ki.dwFlags = KEYEVENTF_KEYUP;
        strokes.push_back(stroke);
    }
    SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT));
}

class RecordingEvents final : public WindowEvents {
public:
    void onPaint(Painter&) override { ++paints; }
    void onCommand(int id) override { commands.push_back(id); }
    void onEndSession() override { ++endSessions; }
    int paints = 0;
    int endSessions = 0;
    std::vector<int> commands;
};

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<Win32MainWindow>("Quenvale");
        ASSERT_TRUE(window->created()) << "the window or its skin resources could not be made";
    }
    void TearDown() override
    {
        window.reset();
        pump(50);
    }
    void showAndWait()
    {
        window->show();
        pump(400);
    }

    std::unique_ptr<Win32MainWindow> window;
};

TEST_F(Win32WindowTest, PaintsEveryPageOverTheSkin)
{
    RecordingSoundOutput sounds;
    CUserInterface ui(*window, sounds);
    window->setEvents(&ui);
    ui.OnCreate();
    showAndWait();
    const char* artifacts = std::getenv("QVL_ARTIFACT_DIR");
    const std::filesystem::path folder = std::filesystem::path(artifacts ? artifacts : "artifacts") / "win32";
    std::filesystem::create_directories(folder);
    const COLORREF contentColour = RGB(0xf3, 0xf5, 0xf7);
    for (int page :
         {PageLogin, PageHome, PageOptions, PageFlightInformation, PageFlying, PageChecklist, PageReportRoute,
          PageReportFinances, PageReportPenalties, PageWrongVersion, PageFuelTanks, PageReportBackup, PageSimpleFuel,
          PageLoadSheet, PageComment, PageDownload, PageAbortedFlight, PageDivert, PageFuelError}) {
        ui.SetPage(page);
        pump(200);
        const Capture shot = capture(window->hwnd());
        const std::filesystem::path file = folder / ("page_" + std::to_string(page) + ".bmp");
        EXPECT_TRUE(shot.save(file)) << file.string();
        // The content area is the skin's, the corner outside the outline is cut away.
        EXPECT_EQ(shot.at(577, 352), contentColour) << "page " << page;
        EXPECT_NE(shot.at(1, 1), shot.at(300, 40)) << "page " << page << ": the corner is not cut";
    }
    window->setEvents(nullptr);
}

TEST_F(Win32WindowTest, ClickOrKeyOnAControlIsItsCommandAndOnTheSkinIsNone)
{
    RecordingEvents events;
    window->setEvents(&events);
    window->createControl({ControlKind::Button, 77, "Fly!", 25, 310, 148, 20, StyleVisible});
    window->createControl({ControlKind::Button, 78, "Hidden", 25, 334, 148, 20, StyleNone});
    window->createControl({ControlKind::CheckBox, 79, "", 25, 280, 12, 12, StyleVisible});
    showAndWait();
    clickAt(window->hwnd(), 60, 318); // the button, which takes the focus
    const Capture shot = capture(window->hwnd());
    EXPECT_EQ(shot.at(60, 310), RGB(255, 255, 255)) << "the focused button has white edges";
    EXPECT_EQ(shot.at(60, 329), RGB(255, 255, 255)) << "the focused button has white edges";
    EXPECT_EQ(shot.at(60, 320), RGB(136, 155, 175)) << "the button's own fill";
    sendKeys({VK_SPACE});
    pump(150);
    clickAt(window->hwnd(), 400, 300); // the skin
    clickAt(window->hwnd(), 60, 342);  // where the hidden button is
    clickAt(window->hwnd(), 31, 286);  // the check box
    window->setCheck(79, false);       // the user interface's own change is no command
    pump(100);
    EXPECT_EQ(events.commands, (std::vector<int>{77, 77, 79}));
    EXPECT_FALSE(window->getCheck(79));
    EXPECT_GT(events.paints, 0);
    window->setEvents(nullptr);
}

TEST_F(Win32WindowTest, EnterPressesTheFocusedButtonInTheLoop)
{
    RecordingEvents events;
    window->setEvents(&events);
    window->createControl({ControlKind::Button, 77, "Fly!", 25, 310, 148, 20, StyleVisible});
    window->createControl({ControlKind::Edit, 101, "", 300, 195, 210, 20, StyleVisible});
    showAndWait();
    clickAt(window->hwnd(), 400, 205); // the edit field
    Win32Toolkit toolkit;
    int ticks = 0;
    toolkit.run(*window, [&] {
        // Tab moves on to the button through the loop's dialog navigation; Enter presses it.
        if (++ticks == 1)
            sendKeys({VK_TAB, VK_RETURN});
        window->pauseBeforeNextTick(10);
        return events.commands.empty() && ticks < 300;
    });
    EXPECT_EQ(events.commands, (std::vector<int>{77}));
    window->setEvents(nullptr);
}

TEST_F(Win32WindowTest, DraggingTheSkinMovesTheWindow)
{
    showAndWait();
    RECT before{};
    GetWindowRect(window->hwnd(), &before);
    SetCursorPos(before.left + 400, before.top + 40);
    INPUT drag[3] = {};
    for (INPUT& step : drag)
        step.type = INPUT_MOUSE;
    drag[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    // Absolute, so no pointer acceleration changes the distance.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    drag[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    drag[1].mi.dx = (before.left + 460) * 65535 / (screenWidth - 1);
    drag[1].mi.dy = (before.top + 70) * 65535 / (screenHeight - 1);
    drag[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, drag, sizeof(INPUT));
    pump(500);
    RECT after{};
    GetWindowRect(window->hwnd(), &after);
    EXPECT_EQ((std::vector<long>{after.left - before.left, after.top - before.top}), (std::vector<long>{60, 30}));
}

TEST_F(Win32WindowTest, KeysSeenWhileAnotherWindowHasTheFocus)
{
    showAndWait();
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 650, 420, 200, 80,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    pump(200);
    auto send = [](DWORD flags) {
        INPUT keys[3] = {};
        const WORD codes[3] = {VK_CONTROL, VK_SHIFT, 'L'};
        for (int i = 0; i < 3; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i];
            keys[i].ki.dwFlags = flags;
        }
        SendInput(3, keys, sizeof(INPUT));
        pump(100);
    };
    send(0);
    EXPECT_NE(GetForegroundWindow(), window->hwnd());
    EXPECT_TRUE(window->isKeyDown(Key::L));
    EXPECT_TRUE(window->isKeyDown(Key::Control));
    EXPECT_TRUE(window->isKeyDown(Key::Shift));
    send(KEYEVENTF_KEYUP);
    EXPECT_FALSE(window->isKeyDown(Key::L));
    EXPECT_FALSE(window->isKeyDown(Key::Control));
    DestroyWindow(other);
}

TEST_F(Win32WindowTest, TrayClickShowsTheHiddenWindow)
{
    showAndWait();
    window->hide();
    pump(100);
    ASSERT_FALSE(IsWindowVisible(window->hwnd()));
    // What the notification area sends for a left click on the icon.
    PostMessageW(window->hwnd(), 1234, 9999, WM_LBUTTONDOWN);
    pump(200);
    EXPECT_TRUE(IsWindowVisible(window->hwnd()));
}

// The box runs its own loop; a timer inside it answers the box.
struct BoxWatch {
    Win32MainWindow* window = nullptr;
    int ticks = 0;
    int ticksAtOpen = -1;
    int ticksDuringBox = -1;
    bool answered = false;
};
BoxWatch* g_watch = nullptr;

void CALLBACK answerBox(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (HWND box = FindWindowW(L"#32770", L"Test")) {
        g_watch->ticksDuringBox = g_watch->ticks - g_watch->ticksAtOpen;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

void CALLBACK openBox(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_watch->ticksAtOpen = g_watch->ticks;
    SetTimer(nullptr, 0, 400, answerBox);
    g_watch->window->messageBox("Stop?", "Test", MessageBoxButtons::Ok, MessageBoxIcon::Warning);
    g_watch->answered = true;
}

TEST_F(Win32WindowTest, NoTickWhileAMessageBoxIsOpen)
{
    BoxWatch watch;
    watch.window = window.get();
    g_watch = &watch;
    // The box opens from the loop, as a button's action would open it; its
    // timer starts with the first tick, as a loaded machine may take longer
    // than the timer to reach the loop's first idle turn.
    Win32Toolkit toolkit;
    int afterBox = -1;
    toolkit.run(*window, [&] {
        if (++watch.ticks == 1)
            SetTimer(nullptr, 0, 100, openBox);
        if (watch.answered && afterBox < 0)
            afterBox = watch.ticks;
        window->pauseBeforeNextTick(10);
        return afterBox < 0 || watch.ticks < afterBox + 5;
    });
    g_watch = nullptr;
    EXPECT_GT(watch.ticksAtOpen, 0) << "ticks ran before the box";
    EXPECT_EQ(watch.ticksDuringBox, 0);
    EXPECT_EQ(watch.ticks, afterBox + 5) << "ticks go on once the box is answered";
}

// Log-off or shutdown: nothing to ask, and the exit save runs before the
// end-session message returns (the system may end the process right after);
// a cancelled end of the session changes nothing.
TEST_F(Win32WindowTest, EndOfTheSessionSavesBeforeItsMessageReturns)
{
    RecordingEvents events;
    window->setEvents(&events);
    EXPECT_EQ(SendMessageW(window->hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(window->hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(events.endSessions, 0);
    SendMessageW(window->hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(events.endSessions, 1);
    EXPECT_TRUE(events.commands.empty()) << "no \"Exit\" command, which could ask";
    window->setEvents(nullptr);
}

TEST_F(Win32WindowTest, LoopEndsOnceTheWindowIsClosed)
{
    Win32Toolkit toolkit;
    int ticks = 0;
    toolkit.run(*window, [&] {
        if (++ticks == 3)
            window->close(); // as "Exit" closes it
        return true;
    });
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(window->isClosed());
}

// The tray's popup menu runs its own loop too; a timer inside it closes the menu.
int g_menuTicks = 0;
int g_ticksDuringMenu = -1;
int g_ticksAtMenu = -1;

void CALLBACK closeMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_ticksDuringMenu = g_menuTicks - g_ticksAtMenu;
    EndMenu();
}

TEST_F(Win32WindowTest, NoTickWhileTheTrayMenuIsOpen)
{
    Win32Toolkit toolkit;
    toolkit.run(*window, [&] {
        if (++g_menuTicks == 3) {
            g_ticksAtMenu = g_menuTicks;
            SetTimer(nullptr, 0, 400, closeMenu);
            // A right click on the icon opens the menu.
            PostMessageW(window->hwnd(), 1234, 9999, WM_RBUTTONDOWN);
        }
        window->pauseBeforeNextTick(10);
        return g_ticksDuringMenu < 0 || g_menuTicks < g_ticksAtMenu + 5;
    });
    EXPECT_EQ(g_ticksDuringMenu, 0);
}

} // namespace

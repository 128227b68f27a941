// The window suite on Win32, under Wine on a private X server (ctest's
// WineDisplay fixture starts one): input through the system's input queue,
// the tray's notifications as the notification area sends them; and the end
// of the session, a message only Windows sends its windows.
#include "WindowSuite.h"

#include "platform/win32ui/Win32MainWindow.h"
#include "platform/win32ui/Win32Toolkit.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 380;
constexpr UINT kTrayMessage = 1234; // what the window asks the notification area to send

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

void send(std::vector<INPUT> inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi = {dx, dy, 0, flags, 0, 0};
    return input;
}

INPUT key(WORD code, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = flags;
    return input;
}

std::map<UINT_PTR, std::function<void()>> g_timers;

void CALLBACK fireTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    const std::function<void()> action = std::move(g_timers[id]);
    g_timers.erase(id);
    action();
}

class Win32WindowDriver {
public:
    static std::string unavailable() { return ""; }
    static std::filesystem::path artifacts()
    {
        const char* folder = std::getenv("QVL_ARTIFACT_DIR");
        return std::filesystem::path(folder ? folder : "artifacts") / "win32";
    }

    Win32WindowDriver() : made_(kit.createMainWindow("Quenvale")) {}
    ~Win32WindowDriver()
    {
        made_.reset();
        ::pump(50);
    }

    bool made() const { return made_ != nullptr; }
    Window& window() { return *made_; }
    Toolkit& toolkit() { return kit; }
    void pump(int ms) { ::pump(ms); }

    void show()
    {
        main().show();
        ::pump(400);
    }

    WindowPlace origin()
    {
        RECT place{};
        GetWindowRect(main().hwnd(), &place);
        return {place.left, place.top};
    }
    bool visible() { return IsWindowVisible(main().hwnd()); }
    bool focused() { return GetForegroundWindow() == main().hwnd(); }

    // The window as the screen shows it, top-down rows of BGR pixels.
    struct Shot {
        std::vector<unsigned char> pixels;
        std::uint32_t at(int x, int y) const
        {
            const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 3];
            return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
        }
        bool save(const std::filesystem::path& stem) const
        {
            const DWORD imageSize = kWidth * kHeight * 3;
            BITMAPFILEHEADER head{0x4D42, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize, 0, 0,
                                  sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
            BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 24, BI_RGB, imageSize, 0, 0, 0, 0};
            std::ofstream out(stem.string() + ".bmp", std::ios::binary);
            out.write(reinterpret_cast<const char*>(&head), sizeof(head));
            out.write(reinterpret_cast<const char*>(&info), sizeof(info));
            out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
            return out.good();
        }
    };
    Shot shot()
    {
        const WindowPlace place = origin();
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, kWidth, kHeight, screen, place.x, place.y, SRCCOPY);
        SelectObject(memory, previous);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        Shot taken;
        taken.pixels.resize(static_cast<std::size_t>(kWidth) * kHeight * 3);
        GetDIBits(memory, bitmap, 0, kHeight, taken.pixels.data(), &info, DIB_RGB_COLORS);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return taken;
    }

    void click(int x, int y)
    {
        const WindowPlace place = origin();
        SetCursorPos(place.x + x, place.y + y);
        send({mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)});
        ::pump(200);
    }
    void drag(int x, int y, int dx, int dy)
    {
        const WindowPlace place = origin();
        SetCursorPos(place.x + x, place.y + y);
        // Absolute, so no pointer acceleration changes the distance.
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
        send({mouse(MOUSEEVENTF_LEFTDOWN),
              mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (place.x + x + dx) * 65535 / (screenWidth - 1),
                    (place.y + y + dy) * 65535 / (screenHeight - 1)),
              mouse(MOUSEEVENTF_LEFTUP)});
        ::pump(500);
    }
    // Each key pressed and released, through the input queue.
    void press(std::initializer_list<Press> keys)
    {
        std::vector<INPUT> strokes;
        for (Press pressed : keys) {
            const WORD code = pressed == Press::Enter ? VK_RETURN : pressed == Press::Tab ? VK_TAB : VK_SPACE;
            strokes.push_back(key(code, 0));
            strokes.push_back(key(code, KEYEVENTF_KEYUP));
        }
        send(strokes);
    }
    void holdKeys(bool down)
    {
        const DWORD flags = down ? 0 : KEYEVENTF_KEYUP;
        send({key(VK_CONTROL, flags), key(VK_SHIFT, flags), key('L', flags)});
        ::pump(100);
    }

    auto otherWindow()
    {
        HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 650, 420, 200,
                                     80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(other, nullptr);
        SetForegroundWindow(other);
        ::pump(200);
        auto destroy = [](HWND w) { DestroyWindow(w); };
        return std::unique_ptr<std::remove_pointer_t<HWND>, decltype(destroy)>(other, destroy);
    }

    std::string trayMissing() { return ""; }
    // What the notification area sends for a click on the icon.
    bool trayClick(bool right)
    {
        return PostMessageW(main().hwnd(), kTrayMessage, 9999, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
    }
    void closeMenu() { EndMenu(); }

    void after(int ms, std::function<void()> action)
    {
        g_timers[SetTimer(nullptr, 0, static_cast<UINT>(ms), fireTimer)] = std::move(action);
    }
    bool answerBox(const std::string& title)
    {
        HWND box = FindWindowA("#32770", title.c_str());
        if (box)
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        return box != nullptr;
    }

private:
    Win32MainWindow& main() { return static_cast<Win32MainWindow&>(*made_); }

    Win32Toolkit kit;
    std::unique_ptr<Window> made_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, WindowSuite, Win32WindowDriver);

// Log-off or shutdown: nothing to ask, and the exit save runs before the
// end-session message returns (the system may end the process right after);
// a cancelled end of the session changes nothing.
TEST(Win32WindowTest, EndOfTheSessionSavesBeforeItsMessageReturns)
{
    Win32MainWindow window("Quenvale");
    ASSERT_TRUE(window.created());
    RecordingEvents events;
    window.setEvents(&events);
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(window.hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(events.endSessions, 0);
    SendMessageW(window.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(events.endSessions, 1);
    EXPECT_TRUE(events.commands.empty()) << "no \"Exit\" command, which could ask";
    window.setEvents(nullptr);
}

} // namespace

// Win32MainWindow: the window procedure hands painting, owner-drawn buttons
// and commands to the user interface. Modal boxes and the tray's popup menu
// run their own loops, so the client does not tick while they are open.
#include "platform/win32ui/Win32MainWindow.h"

#include "platform/win32ui/GdiPainter.h"
#include "platform/win32ui/ResourceIds.h"
#include "ui/ButtonFace.h"
#include "ui/ControlIds.h"

#include <shellapi.h>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 380;
constexpr UINT kTrayMessage = 1234;
constexpr UINT kTrayIconId = 9999;
constexpr const wchar_t* kDefaultClassName = L"Quenvale - Client v2.6.1.0";

std::wstring loadString(HINSTANCE instance, UINT id, const wchar_t* fallback)
{
    wchar_t buffer[100] = {};
    return LoadStringW(instance, id, buffer, 100) > 0 ? std::wstring(buffer) : std::wstring(fallback);
}

UINT iconFlags(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::Information:
        return MB_ICONINFORMATION;
    case MessageBoxIcon::Error:
        return MB_ICONERROR;
    case MessageBoxIcon::Warning:
    case MessageBoxIcon::Exclamation:
        break;
    }
    return MB_ICONWARNING;
}

} // namespace

Win32MainWindow::Win32MainWindow(const std::string& title) : instance(GetModuleHandleW(nullptr)), log("Win32MainWindow")
{
    const std::wstring className = loadString(instance, QVL_IDS_CLASS_NAME, kDefaultClassName);
    icon = LoadIconW(instance, MAKEINTRESOURCEW(QVL_IDI_ICON));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    RegisterClassExW(&windowClass); // a second window in the process finds it registered
    if (!loadSkin()) {
        log.error("Unable to retrieve the skin.");
        return;
    }
    const std::wstring caption = GdiPainter::wideText(title);
    handle = CreateWindowExW(0, className.c_str(), caption.c_str(), WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                             kHeight, nullptr, nullptr, instance, this);
    if (!handle) {
        log.error("Could not create the main window: error " + std::to_string(GetLastError()));
        return;
    }
    if (HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(QVL_IDR_OUTLINE), L"BINARY")) {
        const DWORD size = SizeofResource(instance, found);
        const void* data = LockResource(LoadResource(instance, found));
        HRGN outline = data ? ExtCreateRegion(nullptr, size, static_cast<const RGNDATA*>(data)) : nullptr;
        // The window owns the region from here on.
        if (!outline || !SetWindowRgn(handle, outline, TRUE))
            log.warn("The window outline could not be applied; the window stays rectangular");
    }
    accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(QVL_IDR_ACCELERATORS));
}

Win32MainWindow::~Win32MainWindow()
{
    removeTrayIcon();
    if (handle) {
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        DestroyWindow(handle);
    }
    if (skinDc) {
        SelectObject(skinDc, skinDcPrevious);
        DeleteDC(skinDc);
    }
    if (skinBrush)
        DeleteObject(skinBrush);
    if (skinBitmap)
        DeleteObject(skinBitmap);
}

bool Win32MainWindow::loadSkin()
{
    skinBitmap = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(QVL_IDB_SKIN), IMAGE_BITMAP, 0, 0, 0));
    if (!skinBitmap)
        return false;
    BITMAP info{};
    GetObjectW(skinBitmap, sizeof(info), &info);
    skinWidth = info.bmWidth;
    skinHeight = info.bmHeight;
    HDC screen = GetDC(nullptr);
    skinDc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!skinDc)
        return false;
    skinDcPrevious = SelectObject(skinDc, skinBitmap);
    // Check boxes are drawn over the skin, not over a grey square.
    skinBrush = CreatePatternBrush(skinBitmap);
    return true;
}

void Win32MainWindow::show()
{
    ShowWindow(handle, SW_SHOWNORMAL);
    UpdateWindow(handle);
    SetForegroundWindow(handle);
}

LRESULT CALLBACK Win32MainWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Win32MainWindow*>(create->lpCreateParams);
        self->handle = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->onMessage(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers the whole window with the skin
    case WM_DRAWITEM:
        drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONDOWN:
        // A press on the skin drags the window, as one on a caption would.
        ReleaseCapture();
        SendMessageW(handle, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            command(LOWORD(wParam));
        else if (HIWORD(wParam) == EN_CHANGE && events)
            events->onEditChanged(LOWORD(wParam));
        return 0;
    case kTrayMessage:
        trayNotified(lParam);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // nothing to ask: the end of the session saves as "Exit" does
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns, so the exit
        // save happens here and not after the loop.
        if (wParam != FALSE && events)
            events->onEndSession();
        return 0;
    case WM_CLOSE:
        // Closing from the desktop leaves as "Exit" does, so nothing is lost.
        command(IdMenuExit);
        return 0;
    case WM_DESTROY:
        removeTrayIcon();
        closed = true;
        handle = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(handle, message, wParam, lParam);
}

void Win32MainWindow::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle, &ps);
    // Painted off screen first, so the pages never flicker over the skin.
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP surface = CreateCompatibleBitmap(dc, kWidth, kHeight);
    HGDIOBJ previous = SelectObject(buffer, surface);
    IntersectClipRect(buffer, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    {
        GdiPainter painter(buffer, skinDc, skinWidth, skinHeight);
        painter.drawSkin();
        if (events)
            events->onPaint(painter);
    }
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           buffer, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    SelectObject(buffer, previous);
    DeleteObject(surface);
    DeleteDC(buffer);
    EndPaint(handle, &ps);
}

LRESULT Win32MainWindow::colourStatic(HDC dc, HWND control)
{
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&place), 2);
    SetBkMode(dc, TRANSPARENT);
    SetBrushOrgEx(dc, -place.left, -place.top, nullptr);
    return reinterpret_cast<LRESULT>(skinBrush);
}

void Win32MainWindow::command(int id)
{
    if (events)
        events->onCommand(id);
}

void Win32MainWindow::invalidate(const Rect* area)
{
    if (!handle)
        return;
    if (!area) {
        InvalidateRect(handle, nullptr, FALSE);
        return;
    }
    const RECT r{area->left, area->top, area->right, area->bottom};
    InvalidateRect(handle, &r, FALSE);
}

void Win32MainWindow::paintNow()
{
    if (handle)
        UpdateWindow(handle);
}

MessageBoxResult Win32MainWindow::messageBox(const std::string& text, const std::string& title,
                                             MessageBoxButtons buttons, MessageBoxIcon boxIcon)
{
    HWND owner = handle && IsWindowVisible(handle) ? handle : nullptr;
    const UINT type = (buttons == MessageBoxButtons::OkCancel ? MB_OKCANCEL : MB_OK) | iconFlags(boxIcon);
    const int answer =
        MessageBoxW(owner, GdiPainter::wideText(text).c_str(), GdiPainter::wideText(title).c_str(), type);
    if (buttons == MessageBoxButtons::Ok)
        return MessageBoxResult::Ok;
    return answer == IDOK ? MessageBoxResult::Ok : MessageBoxResult::Cancel;
}

bool Win32MainWindow::isKeyDown(Key key)
{
    int code = 'L';
    if (key == Key::Control)
        code = VK_CONTROL;
    else if (key == Key::Shift)
        code = VK_SHIFT;
    return (GetAsyncKeyState(code) & 0x8000) != 0;
}

bool Win32MainWindow::pauseBeforeNextTick(std::uint32_t ms)
{
    if (!inTick)
        return false;
    nextTickAt = GetTickCount64() + ms;
    return true;
}

std::uint32_t Win32MainWindow::pauseLeft() const
{
    const ULONGLONG now = GetTickCount64();
    return now >= nextTickAt ? 0 : static_cast<std::uint32_t>(nextTickAt - now);
}

bool Win32MainWindow::addTrayIcon(const std::string& tooltip)
{
    if (!handle)
        return false;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = handle;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = icon;
    lstrcpynW(data.szTip, GdiPainter::wideText(tooltip).c_str(), static_cast<int>(std::size(data.szTip)));
    trayAdded = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (!trayAdded)
        log.warn("No notification-area icon: the window is the only way to its commands");
    return trayAdded;
}

void Win32MainWindow::removeTrayIcon()
{
    if (!trayAdded)
        return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = handle;
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
    trayAdded = false;
}

void Win32MainWindow::trayNotified(LPARAM mouse)
{
    if (mouse == WM_LBUTTONDOWN || mouse == WM_LBUTTONDBLCLK) {
        maximise();
        return;
    }
    if (mouse != WM_RBUTTONDOWN)
        return;
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(QVL_IDR_TRAY_MENU));
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!popup) {
        if (menu)
            DestroyMenu(menu);
        return;
    }
    SetMenuDefaultItem(popup, static_cast<UINT>(-1), FALSE);
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(handle);
    // The menu's own loop runs until it closes: no tick meanwhile.
    TrackPopupMenu(popup, TPM_LEFTALIGN, at.x, at.y, 0, handle, nullptr);
    PostMessageW(handle, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void Win32MainWindow::minimise()
{
    ShowWindow(handle, SW_MINIMIZE);
}

void Win32MainWindow::maximise()
{
    // The window has one size: "maximised" shows it restored and in front.
    ShowWindow(handle, SW_RESTORE);
    ShowWindow(handle, SW_SHOW);
    SetForegroundWindow(handle);
}

void Win32MainWindow::hide()
{
    ShowWindow(handle, SW_HIDE);
}

void Win32MainWindow::close()
{
    closed = true;
    if (handle)
        DestroyWindow(handle);
}

bool Win32MainWindow::preTranslate(MSG& message)
{
    if (!handle)
        return false;
    if (accelerators && TranslateAcceleratorW(handle, accelerators, &message))
        return true;
    // Enter presses the focused button, as space does.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        if (Control* focused = findByHandle(GetFocus()); focused && focused->layout.kind == ControlKind::Button) {
            command(focused->layout.id);
            return true;
        }
        return false;
    }
    return IsDialogMessageW(handle, &message) != FALSE;
}

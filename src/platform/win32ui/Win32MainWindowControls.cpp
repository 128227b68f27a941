// Win32MainWindow's controls: child windows whose ids are the control ids, so
// their commands arrive with the id the user interface knows them by.
#include "platform/win32ui/GdiPainter.h"
#include "platform/win32/WideText.h"
#include "platform/win32ui/Win32MainWindow.h"
#include "ui/ButtonFace.h"
#include "ui/ControlIds.h"

#include <commctrl.h>

#include <cmath>

namespace {

constexpr int kComboHeight = 180; // room for the drop-down list
constexpr int kProgressRange = 100;

std::string windowText(HWND child)
{
    const int length = GetWindowTextLengthW(child);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(child, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return fromWide(text);
}

DWORD editStyle(unsigned style)
{
    DWORD s = WS_TABSTOP;
    // Several lines wrap at the edge; one line scrolls sideways, so a long
    // name or password still fits.
    if (style & StyleMultiLine)
        s |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    else
        s |= ES_AUTOHSCROLL;
    if (style & StylePassword)
        s |= ES_PASSWORD;
    if (style & StyleRightAligned)
        s |= ES_RIGHT;
    if (style & StyleDigitsOnly)
        s |= ES_NUMBER;
    return s;
}

} // namespace

Win32MainWindow::Control* Win32MainWindow::find(int id)
{
    for (auto& control : controls) {
        if (control->layout.id == id)
            return control.get();
    }
    return nullptr;
}

Win32MainWindow::Control* Win32MainWindow::findByHandle(HWND child)
{
    for (auto& control : controls) {
        if (child && control->handle == child)
            return control.get();
    }
    return nullptr;
}

HWND Win32MainWindow::controlWindow(int id)
{
    Control* control = find(id);
    return control ? control->handle : nullptr;
}

bool Win32MainWindow::createControl(const ControlSpec& layout)
{
    if (!handle)
        return false;
    const wchar_t* windowClass = L"BUTTON";
    DWORD style = WS_CHILD | ((layout.style & StyleVisible) ? WS_VISIBLE : 0);
    DWORD extended = 0;
    int height = layout.height;
    switch (layout.kind) {
    case ControlKind::Button:
        style |= BS_OWNERDRAW | WS_TABSTOP;
        break;
    case ControlKind::CheckBox:
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
    case ControlKind::Edit:
        windowClass = L"EDIT";
        extended = WS_EX_DLGMODALFRAME;
        style |= editStyle(layout.style);
        break;
    case ControlKind::Combo:
        windowClass = L"COMBOBOX";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
        height = kComboHeight;
        break;
    case ControlKind::Progress:
        windowClass = PROGRESS_CLASSW;
        style |= (layout.style & StyleSmooth) ? PBS_SMOOTH : 0;
        break;
    }
    const std::wstring caption = GdiPainter::wideText(layout.caption.substr(0, 255));
    HWND child =
        CreateWindowExW(extended, windowClass, caption.c_str(), style, layout.x, layout.y, layout.width, height, handle,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr);
    if (!child) {
        log.error("Could not create control " + std::to_string(layout.id) + ": error " +
                  std::to_string(GetLastError()));
        return false;
    }
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (layout.kind == ControlKind::Progress)
        SendMessageW(child, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    auto control = std::make_unique<Control>();
    control->layout = layout;
    control->handle = child;
    controls.push_back(std::move(control));
    return true;
}

void Win32MainWindow::drawButton(const DRAWITEMSTRUCT& item)
{
    Control* control = findByHandle(item.hwndItem);
    if (!control)
        return;
    ButtonState state;
    state.titleStyle = (control->layout.style & StyleTitleButton) != 0;
    state.highlighted = control->highlighted;
    state.enabled = control->lookEnabled;
    state.pressed = (item.itemState & ODS_SELECTED) != 0;
    state.focused = (item.itemState & ODS_FOCUS) != 0;
    const RECT& r = item.rcItem;
    GdiPainter painter(item.hDC, nullptr, r.right - r.left, r.bottom - r.top);
    ButtonFace::draw(painter, r.right - r.left, r.bottom - r.top, windowText(item.hwndItem), state);
}

void Win32MainWindow::showControl(int id, bool visible)
{
    if (HWND child = controlWindow(id))
        ShowWindow(child, visible ? SW_SHOW : SW_HIDE);
}

void Win32MainWindow::enableControl(int id, bool enabled)
{
    if (HWND child = controlWindow(id))
        EnableWindow(child, enabled ? TRUE : FALSE);
}

void Win32MainWindow::setButtonLook(int id, bool highlighted, bool enabled)
{
    Control* control = find(id);
    if (!control || (control->highlighted == highlighted && control->lookEnabled == enabled))
        return;
    control->highlighted = highlighted;
    control->lookEnabled = enabled;
    InvalidateRect(control->handle, nullptr, FALSE);
}

std::string Win32MainWindow::getControlText(int id)
{
    HWND child = controlWindow(id);
    return child ? windowText(child) : std::string();
}

void Win32MainWindow::setControlText(int id, const std::string& text)
{
    if (HWND child = controlWindow(id))
        SetWindowTextW(child, GdiPainter::wideText(text).c_str());
}

bool Win32MainWindow::getCheck(int id)
{
    HWND child = controlWindow(id);
    return child && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32MainWindow::setCheck(int id, bool checked)
{
    if (HWND child = controlWindow(id))
        SendMessageW(child, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32MainWindow::setComboItems(int id, const std::vector<std::string>& items, int selected)
{
    HWND child = controlWindow(id);
    if (!child)
        return;
    SendMessageW(child, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GdiPainter::wideText(item).c_str()));
    SendMessageW(child, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int Win32MainWindow::getComboSelection(int id)
{
    HWND child = controlWindow(id);
    if (!child)
        return -1;
    const LRESULT selected = SendMessageW(child, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void Win32MainWindow::setProgress(int id, double fraction)
{
    if (HWND child = controlWindow(id))
        SendMessageW(child, PBM_SETPOS, static_cast<WPARAM>(std::lround(fraction * kProgressRange)), 0);
}

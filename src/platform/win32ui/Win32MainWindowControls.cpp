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
constexpr int kCaptionTop = 2;
constexpr int kProgressRange = 100;

COLORREF colourOf(const Colour& c)
{
    return RGB(c.red, c.green, c.blue);
}

void line(HDC dc, const Colour& colour, int x0, int y0, int x1, int y1)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colourOf(colour));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, previous);
    DeleteObject(pen);
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
    const ButtonFace face = ButtonFace::of(state);

    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    HBRUSH fill = CreateSolidBrush(colourOf(face.fill));
    FillRect(dc, &inner, fill);
    DeleteObject(fill);

    wchar_t text[500] = {};
    const int length = GetWindowTextW(item.hwndItem, text, 500);
    HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colourOf(face.caption));
    RECT captionArea{r.left, r.top + kCaptionTop, r.right, r.bottom};
    DrawTextW(dc, text, length, &captionArea, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);

    // Right and bottom first, then top and left, as the classic buttons do.
    const int right = r.right - 1;
    const int bottom = r.bottom - 1;
    line(dc, face.right, right, r.top, right, r.bottom);
    line(dc, face.bottom, r.left, bottom, r.right, bottom);
    line(dc, face.left, r.left, r.top, r.left, r.bottom);
    line(dc, face.top, r.left, r.top, r.right, r.top);
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
    if (!child)
        return {};
    const int length = GetWindowTextLengthW(child);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(child, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return fromWide(text);
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

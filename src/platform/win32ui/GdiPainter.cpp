// GdiPainter: the fonts are made once for the process, as the window's own
// font table is; right-aligned text ends at x.
#include "platform/win32ui/GdiPainter.h"

#include "core/TextEncoding.h"
#include "platform/win32/WideText.h"

namespace {

// Generous bounds for single-line text: DrawText needs a rectangle.
constexpr int kFarAway = 10000;
// The last line's descenders may reach below the rectangle, as the fonts'
// cells are taller than the rectangles some texts are given.
constexpr int kDescentAllowance = 4;

HFONT fontOf(int index)
{
    static HFONT* const fonts = [] {
        static HFONT table[kFontCount];
        for (int i = 0; i < kFontCount; ++i)
            table[i] = CreateFontW(kFontTable[i].height, 0, 0, 0, kFontTable[i].weight, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, L"Arial");
        return table;
    }();
    return fonts[index >= 0 && index < kFontCount ? index : 0];
}

} // namespace

std::wstring GdiPainter::wideText(const std::string& text)
{
    return isUtf8(text) ? toWide(text) : toWide(displayText(text));
}

GdiPainter::GdiPainter(HDC target, HDC skin, int width, int height)
    : dc(target), skinDc(skin), skinWidth(width), skinHeight(height), previousFont(SelectObject(target, fontOf(0)))
{
    SetBkMode(dc, TRANSPARENT);
}

GdiPainter::~GdiPainter()
{
    SelectObject(dc, previousFont);
}

void GdiPainter::selectFont(int font)
{
    SelectObject(dc, fontOf(font));
}

void GdiPainter::setTextColour(int red, int green, int blue)
{
    SetTextColor(dc, RGB(red, green, blue));
}

void GdiPainter::drawText(int x, int y, const std::string& text, bool rightAligned)
{
    std::wstring wide = wideText(text);
    RECT area = rightAligned ? RECT{x - kFarAway, y, x, y + kFarAway} : RECT{x, y, x + kFarAway, y + kFarAway};
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &area,
              (rightAligned ? DT_RIGHT : DT_LEFT) | DT_NOCLIP | DT_NOPREFIX | DT_EXPANDTABS);
}

void GdiPainter::drawWrappedText(const Rect& area, const std::string& text)
{
    std::wstring wide = wideText(text);
    RECT box{area.left, area.top, area.right, area.bottom + kDescentAllowance};
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &box, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
}

void GdiPainter::drawSkin()
{
    if (skinDc) {
        BitBlt(dc, 0, 0, skinWidth, skinHeight, skinDc, 0, 0, SRCCOPY);
        return;
    }
    fillRect({0, 0, skinWidth, skinHeight}, 217, 222, 230);
}

void GdiPainter::selectCaptionFont()
{
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
}

void GdiPainter::drawCentredText(const Rect& area, const std::string& text)
{
    std::wstring wide = wideText(text);
    RECT box{area.left, area.top, area.right, area.bottom};
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &box, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void GdiPainter::fillRect(const Rect& area, int red, int green, int blue)
{
    RECT box{area.left, area.top, area.right, area.bottom};
    HBRUSH brush = CreateSolidBrush(RGB(red, green, blue));
    FillRect(dc, &box, brush);
    DeleteObject(brush);
}

// The Painter on GDI: the skin bitmap blitted from its memory device context,
// text in the font table's fonts with a transparent background, the buttons'
// faces in solid brushes.
#pragma once

#include "platform/Painter.h"

#include <windows.h>

#include <string>

class GdiPainter final : public Painter {
public:
    // `skin`: a memory device context holding the skin bitmap (null: no skin).
    GdiPainter(HDC target, HDC skin, int width, int height);
    ~GdiPainter() override;
    GdiPainter(const GdiPainter&) = delete;
    GdiPainter& operator=(const GdiPainter&) = delete;

    void selectFont(int font) override;
    void setTextColour(int red, int green, int blue) override;
    void drawText(int x, int y, const std::string& text, bool rightAligned) override;
    void drawWrappedText(const Rect& area, const std::string& text) override;
    void drawSkin() override;
    void selectCaptionFont() override;
    void drawCentredText(const Rect& area, const std::string& text) override;
    void fillRect(const Rect& area, int red, int green, int blue) override;

    // What the window shows of the text (displayText), as UTF-16.
    static std::wstring wideText(const std::string& text);

private:
    HDC dc;
    HDC skinDc;
    int skinWidth;
    int skinHeight;
    HGDIOBJ previousFont;
};

// The painting seam: the drawing calls of one paint, in window pixels.
#pragma once

#include <string>

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The window's fonts, selected by index: all "Arial" (Swiss family), height in
// pixels and weight (0..1000).
struct FontSpec {
    int height;
    int weight;
};
inline constexpr int kFontCount = 14;
inline constexpr FontSpec kFontTable[kFontCount] = {
    {16, 100}, {14, 100}, {18, 1000}, {16, 1000}, {15, 100},  {14, 700}, {15, 50},
    {15, 700}, {15, 0},   {14, 0},    {13, 50},   {14, 1000}, {13, 50},  {65, 1000},
};

// Drawing during one paint. Coordinates are window pixels.
class Painter {
public:
    virtual ~Painter() = default;
    // Font 0..13 of the font table (height, weight).
    virtual void selectFont(int font) = 0;
    virtual void setTextColour(int red, int green, int blue) = 0;
    // Text in UTF-8; with rightAligned, x is the right end of the text.
    virtual void drawText(int x, int y, const std::string& text, bool rightAligned) = 0;
    // Text word-wrapped inside the rectangle, tabs expanded.
    virtual void drawWrappedText(const Rect& area, const std::string& text) = 0;
    // The skin bitmap at (0, 0).
    virtual void drawSkin() = 0;

    // The owner-drawn buttons' caption font, apart from the table: 13 pixels,
    // normal weight (on Windows the system's dialog font, as its own buttons have).
    virtual void selectCaptionFont() = 0;
    // One line centred across the area, its top at area.top.
    virtual void drawCentredText(const Rect& area, const std::string& text) = 0;
    // The area filled in one colour (right and bottom excluded); a one-pixel
    // wide or high area draws a line.
    virtual void fillRect(const Rect& area, int red, int green, int blue) = 0;
};

// The painting seam: the drawing calls of one paint, in window pixels.
#pragma once

#include <string>

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
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
};

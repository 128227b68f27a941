// Text drawing during a paint: the painter of the paint in progress, the font
// and colour choice, and the text rectangles the pages draw into. Outside a
// paint (no painter set) every drawing call does nothing.
#pragma once

#include "platform/Painter.h"
#include "ui/ObjectManager.h"

#include <string>

class CUserInterfaceText : public CObjectManager {
public:
    explicit CUserInterfaceText(Window& window);
    virtual ~CUserInterfaceText();

    // With rightAligned, x is the right end of the text.
    virtual void drawText(const std::string& text, int x, int y, bool rightAligned = false);
    virtual void drawText(const char* text, int x, int y, bool rightAligned = false);
    // Word-wrapped inside the rectangle, tabs expanded.
    virtual void drawWrappedText(const Rect& area, const std::string& text);

    // Font 0..13 of the font table; other numbers are ignored.
    void selectFont(int font);
    void setTextColour(int red, int green, int blue);
    void setPainter(Painter* painter) { current = painter; }
    Painter* getPainter() const { return current; }
    // Into the heading rectangle.
    void drawHeading(const std::string& text);

    void setupTextRectangles();

    // The text rectangles of the content area.
    Rect rectHeading{};
    Rect rectContent{};
    Rect rectContentTitle{};
    Rect rectContentBody{};
    Rect rectLeftColumn{};
    Rect rectRightColumn{};

private:
    Painter* current = nullptr;
};

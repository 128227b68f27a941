// CPageCanvas: font and colour are set before every call, so no page depends
// on what the one before it left selected.
#include "ui/PageCanvas.h"

void CPageCanvas::use(int font, Colour colour)
{
    painter.selectFont(font);
    painter.setTextColour(colour.red, colour.green, colour.blue);
}

void CPageCanvas::text(int x, int y, int font, Colour colour, const std::string& text)
{
    use(font, colour);
    painter.drawText(x, y, text, false);
}

void CPageCanvas::right(int x, int y, int font, Colour colour, const std::string& text)
{
    use(font, colour);
    painter.drawText(x, y, text, true);
}

void CPageCanvas::wrapped(const Rect& area, int font, Colour colour, const std::string& text)
{
    use(font, colour);
    painter.drawWrappedText(area, text);
}

void CPageCanvas::heading(const std::string& text)
{
    wrapped(PageArea::Heading, 3, PageColour::White, text);
}

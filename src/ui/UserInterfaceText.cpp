// CUserInterfaceText: drawing calls handed to the painter of the current paint.
#include "ui/UserInterfaceText.h"

CUserInterfaceText::CUserInterfaceText(Window& w) : CObjectManager(w) {}

CUserInterfaceText::~CUserInterfaceText() = default;

void CUserInterfaceText::drawText(const std::string& text, int x, int y, bool rightAligned)
{
    if (current != nullptr)
        current->drawText(x, y, text, rightAligned);
}

void CUserInterfaceText::drawText(const char* text, int x, int y, bool rightAligned)
{
    drawText(std::string(text == nullptr ? "" : text), x, y, rightAligned);
}

void CUserInterfaceText::drawWrappedText(const Rect& area, const std::string& text)
{
    if (current != nullptr)
        current->drawWrappedText(area, text);
}

void CUserInterfaceText::selectFont(int font)
{
    if (current != nullptr && font >= 0 && font < kFontCount)
        current->selectFont(font);
}

void CUserInterfaceText::setTextColour(int red, int green, int blue)
{
    if (current != nullptr)
        current->setTextColour(red, green, blue);
}

void CUserInterfaceText::drawHeading(const std::string& text)
{
    drawWrappedText(rectHeading, text);
}

void CUserInterfaceText::setupTextRectangles()
{
    rectHeading = {200, 86, 580, 100};
    rectContent = {210, 120, 565, 345};
    rectContentTitle = {210, 120, 565, 140};
    rectContentBody = {210, 145, 565, 345};
    rectLeftColumn = {210, 145, 387, 345};
    rectRightColumn = {387, 145, 565, 345};
}

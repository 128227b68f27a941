// RecordingPainter: keeps the calls in order.
#include "platform/headless/RecordingPainter.h"

namespace {

bool isText(const RecordingPainter::Call& call)
{
    return call.kind == RecordingPainter::Call::Text || call.kind == RecordingPainter::Call::Wrapped ||
           call.kind == RecordingPainter::Call::Centred;
}

} // namespace

void RecordingPainter::setTextColour(int r, int g, int b)
{
    red = r;
    green = g;
    blue = b;
}

void RecordingPainter::drawText(int x, int y, const std::string& text, bool rightAligned)
{
    Call call;
    call.kind = Call::Text;
    call.font = font;
    call.red = red;
    call.green = green;
    call.blue = blue;
    call.x = x;
    call.y = y;
    call.rightAligned = rightAligned;
    call.text = text;
    calls.push_back(std::move(call));
}

void RecordingPainter::drawWrappedText(const Rect& area, const std::string& text)
{
    record(Call::Wrapped, area, text);
}

void RecordingPainter::drawCentredText(const Rect& area, const std::string& text)
{
    record(Call::Centred, area, text);
}

void RecordingPainter::fillRect(const Rect& area, int r, int g, int b)
{
    record(Call::Fill, area, {});
    // A fill has its own colour and no font.
    Call& fill = calls.back();
    fill.font = 0;
    fill.red = r;
    fill.green = g;
    fill.blue = b;
}

void RecordingPainter::record(Call::Kind kind, const Rect& area, const std::string& text)
{
    Call call;
    call.kind = kind;
    call.font = font;
    call.red = red;
    call.green = green;
    call.blue = blue;
    call.x = area.left;
    call.y = area.top;
    call.area = area;
    call.text = text;
    calls.push_back(std::move(call));
}

void RecordingPainter::drawSkin()
{
    Call call;
    call.kind = Call::Skin;
    calls.push_back(call);
}

const RecordingPainter::Call* RecordingPainter::findText(const std::string& text) const
{
    for (const Call& call : calls)
        if (isText(call) && call.text == text)
            return &call;
    return nullptr;
}

const RecordingPainter::Call* RecordingPainter::findAt(int x, int y) const
{
    for (const Call& call : calls)
        if (isText(call) && call.x == x && call.y == y)
            return &call;
    return nullptr;
}

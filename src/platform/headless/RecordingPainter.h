// A Painter that records every drawing call, so tests can assert on what a
// page shows: font, colour, position, alignment and text.
#pragma once

#include "platform/Painter.h"

#include <string>
#include <vector>

class RecordingPainter final : public Painter {
public:
    struct Call {
        enum Kind { Text, Wrapped, Skin } kind = Text;
        int font = 0;
        int red = 0;
        int green = 0;
        int blue = 0;
        int x = 0;
        int y = 0;
        Rect area{};
        bool rightAligned = false;
        std::string text;
    };

    void selectFont(int newFont) override { font = newFont; }
    void setTextColour(int r, int g, int b) override;
    void drawText(int x, int y, const std::string& text, bool rightAligned) override;
    void drawWrappedText(const Rect& area, const std::string& text) override;
    void drawSkin() override;

    void clear() { calls.clear(); }
    // The first text call whose text equals `text`; nullptr when none.
    const Call* findText(const std::string& text) const;
    // The first text call at (x, y); nullptr when none.
    const Call* findAt(int x, int y) const;
    bool contains(const std::string& text) const { return findText(text) != nullptr; }

    std::vector<Call> calls;

private:
    int font = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
};

// A Painter that records every drawing call, so tests can assert on what a
// page or a button shows: font, colour, position, alignment, text and fills.
#pragma once

#include "platform/Painter.h"

#include <string>
#include <vector>

class RecordingPainter final : public Painter {
public:
    struct Call {
        enum Kind { Text, Wrapped, Skin, Centred, Fill } kind = Text;
        int font = 0; // kCaptionFont for the buttons' caption font
        int red = 0;
        int green = 0;
        int blue = 0;
        int x = 0;
        int y = 0;
        Rect area{}; // wrapped, centred text and fills
        bool rightAligned = false;
        std::string text;
    };

    static constexpr int kCaptionFont = -1;

    void selectFont(int newFont) override { font = newFont; }
    void setTextColour(int r, int g, int b) override;
    void drawText(int x, int y, const std::string& text, bool rightAligned) override;
    void drawWrappedText(const Rect& area, const std::string& text) override;
    void drawSkin() override;
    void selectCaptionFont() override { font = kCaptionFont; }
    void drawCentredText(const Rect& area, const std::string& text) override;
    void fillRect(const Rect& area, int red, int green, int blue) override;

    void clear() { calls.clear(); }
    // The text calls (Text, Wrapped, Centred) are found by text or place.
    // The first text call whose text equals `text`; nullptr when none.
    const Call* findText(const std::string& text) const;
    // The first text call at (x, y); nullptr when none.
    const Call* findAt(int x, int y) const;
    bool contains(const std::string& text) const { return findText(text) != nullptr; }

    std::vector<Call> calls;

private:
    void record(Call::Kind kind, const Rect& area, const std::string& text);

    int font = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
};

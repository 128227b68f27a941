// The pages' drawing vocabulary on top of the Painter: text in a font and a
// colour, right-aligned figures, wrapped blocks, the heading, and the named
// colours and text areas every page shares.
#pragma once

#include "platform/Painter.h"

#include <string>

struct Colour {
    int red;
    int green;
    int blue;
};

namespace PageColour {
inline constexpr Colour White{255, 255, 255};
inline constexpr Colour Black{0, 0, 0};
inline constexpr Colour Red{255, 0, 0};
inline constexpr Colour DarkRed{120, 0, 0};
inline constexpr Colour Green{0, 100, 0};
inline constexpr Colour Grey50{50, 50, 50};
inline constexpr Colour Grey100{100, 100, 100};
inline constexpr Colour Skin{136, 155, 175};
inline constexpr Colour OwnVersion{120, 50, 50};
} // namespace PageColour

namespace PageArea {
inline constexpr Rect Heading{200, 86, 580, 100};
inline constexpr Rect Content{210, 120, 565, 345};
inline constexpr Rect ContentTitle{210, 120, 565, 140};
inline constexpr Rect ContentBody{210, 145, 565, 345};
inline constexpr Rect LeftColumn{210, 145, 387, 345};
inline constexpr Rect RightColumn{387, 145, 565, 345};
} // namespace PageArea

class CPageCanvas {
public:
    explicit CPageCanvas(Painter& painter) : painter(painter) {}

    void text(int x, int y, int font, Colour colour, const std::string& text);
    // x is the right end of the text.
    void right(int x, int y, int font, Colour colour, const std::string& text);
    void wrapped(const Rect& area, int font, Colour colour, const std::string& text);
    // Font 3, white, in the heading rectangle.
    void heading(const std::string& text);

private:
    void use(int font, Colour colour);

    Painter& painter;
};

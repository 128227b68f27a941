// ButtonFace: a raised button is lit from the top left, a pressed one has dark
// top and bottom edges, a focused one white edges all round. The caption is
// centred two pixels below the top, between the fill and the edges.
#include "ui/ButtonFace.h"

namespace {

constexpr int kCaptionTop = 2;

constexpr Colour kWhite{255, 255, 255};
constexpr Colour kDarkGrey{50, 50, 50};
constexpr Colour kDisabledEdge{80, 80, 80};

struct Palette {
    Colour fill;
    Colour caption;
    Colour edge;
    Colour light;
};

Palette paletteOf(const ButtonState& s)
{
    if (s.titleStyle)
        return {{136, 155, 175}, kWhite, s.pressed ? Colour{160, 160, 160} : Colour{184, 192, 199}, kWhite};
    if (!s.enabled)
        return {{220, 220, 220}, kDarkGrey, kDisabledEdge, kWhite};
    if (s.highlighted)
        return {{240, 130, 130}, {0, 0, 0}, {120, 0, 0}, kWhite};
    return {{136, 155, 175}, kWhite, kDarkGrey, {200, 210, 220}};
}

void fillArea(Painter& painter, const Rect& area, const Colour& c)
{
    painter.fillRect(area, c.red, c.green, c.blue);
}

} // namespace

ButtonFace ButtonFace::of(const ButtonState& s)
{
    const Palette p = paletteOf(s);
    ButtonFace face{p.fill, p.caption, p.light, p.light, p.edge, p.edge};
    if (s.pressed) {
        face.left = p.edge;
        face.right = p.light;
        face.top = face.bottom = kDarkGrey;
    }
    if (s.focused) {
        const Colour edge = s.enabled ? kWhite : kDisabledEdge;
        face.top = face.left = face.bottom = face.right = edge;
    }
    return face;
}

void ButtonFace::draw(Painter& painter, int width, int height, const std::string& caption, const ButtonState& state)
{
    const ButtonFace face = of(state);
    fillArea(painter, {1, 1, width - 1, height - 1}, face.fill);
    painter.selectCaptionFont();
    painter.setTextColour(face.caption.red, face.caption.green, face.caption.blue);
    painter.drawCentredText({0, kCaptionTop, width, height}, caption);
    // Right and bottom first, then top and left, as the classic buttons do.
    fillArea(painter, {width - 1, 0, width, height}, face.right);
    fillArea(painter, {0, height - 1, width, height}, face.bottom);
    fillArea(painter, {0, 0, 1, height}, face.left);
    fillArea(painter, {0, 0, width, 1}, face.top);
}

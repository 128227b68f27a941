// ButtonLook: the colours of each style; a raised button is lit from the top
// left, a pressed one has dark top and bottom edges.
#include "platform/gtk/ButtonLook.h"

#include "platform/gtk/CairoPainter.h"

#include <pango/pangocairo.h>

namespace {

constexpr int kCaptionFontHeight = 13;
constexpr int kCaptionTop = 2;

void setColour(cairo_t* cr, const double (&rgb)[3])
{
    cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

} // namespace

ButtonLook::Colours ButtonLook::coloursFor(const ButtonState& s)
{
    auto c = [](int v) { return v / 255.0; };
    const double white[3] = {1, 1, 1};
    if (s.titleStyle) {
        Colours t{{c(136), c(155), c(175)}, {1, 1, 1}, {c(184), c(192), c(199)}, {1, 1, 1}};
        if (s.pressed)
            t.edge[0] = t.edge[1] = t.edge[2] = c(160);
        return t;
    }
    if (!s.enabled)
        return {{c(220), c(220), c(220)}, {c(50), c(50), c(50)}, {c(80), c(80), c(80)}, {1, 1, 1}};
    if (s.highlighted)
        return {{c(240), c(130), c(130)}, {0, 0, 0}, {c(120), 0, 0}, {white[0], white[1], white[2]}};
    return {{c(136), c(155), c(175)}, {1, 1, 1}, {c(50), c(50), c(50)}, {c(200), c(210), c(220)}};
}

void ButtonLook::drawEdges(cairo_t* cr, int w, int h, const Colours& colours, bool pressed)
{
    cairo_set_line_width(cr, 1);
    const double right = w - 0.5;
    const double bottom = h - 0.5;
    setColour(cr, pressed ? colours.light : colours.edge);
    line(cr, right, 0, right, h);
    line(cr, 0, bottom, w, bottom);
    setColour(cr, pressed ? colours.edge : colours.light);
    line(cr, 0.5, 0, 0.5, h);
    line(cr, 0, 0.5, w, 0.5);
    if (pressed) {
        const double dark[3] = {50 / 255.0, 50 / 255.0, 50 / 255.0};
        setColour(cr, dark);
        line(cr, 0, 0.5, w, 0.5);
        line(cr, 0, bottom, w, bottom);
    }
}

void ButtonLook::draw(cairo_t* cr, int w, int h, const std::string& caption, const ButtonState& state)
{
    const Colours colours = coloursFor(state);
    setColour(cr, colours.fill);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_fill(cr);

    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = CairoPainter::makeFont(kCaptionFontHeight, 400);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, caption.c_str(), -1);
    int textWidth = 0;
    int textHeight = 0;
    pango_layout_get_pixel_size(layout, &textWidth, &textHeight);
    setColour(cr, colours.caption);
    cairo_move_to(cr, (w - textWidth) / 2, kCaptionTop);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);

    drawEdges(cr, w, h, colours, state.pressed);
}

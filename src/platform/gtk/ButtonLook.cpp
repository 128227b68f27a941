// ButtonLook: fill, the centred caption two pixels below the top, one-pixel edges.
#include "platform/gtk/ButtonLook.h"

#include "platform/gtk/CairoPainter.h"

#include <pango/pangocairo.h>

namespace {

constexpr int kCaptionFontHeight = 13;
constexpr int kCaptionTop = 2;

void setColour(cairo_t* cr, const Colour& c)
{
    cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

void line(cairo_t* cr, const Colour& c, double x0, double y0, double x1, double y1)
{
    setColour(cr, c);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

} // namespace

PangoLayout* ButtonLook::layoutCaption(cairo_t* cr, const std::string& caption)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = CairoPainter::makeFont(kCaptionFontHeight, 400);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, caption.c_str(), -1);
    return layout;
}

void ButtonLook::draw(cairo_t* cr, int w, int h, PangoLayout* caption, const ButtonState& state)
{
    const ButtonFace face = ButtonFace::of(state);
    setColour(cr, face.fill);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_fill(cr);

    int textWidth = 0;
    int textHeight = 0;
    pango_cairo_update_layout(cr, caption);
    pango_layout_get_pixel_size(caption, &textWidth, &textHeight);
    setColour(cr, face.caption);
    cairo_move_to(cr, (w - textWidth) / 2, kCaptionTop);
    pango_cairo_show_layout(cr, caption);

    // Right and bottom first, then top and left, as the classic buttons do.
    cairo_set_line_width(cr, 1);
    const double right = w - 0.5;
    const double bottom = h - 0.5;
    line(cr, face.right, right, 0, right, h);
    line(cr, face.bottom, 0, bottom, w, bottom);
    line(cr, face.left, 0.5, 0, 0.5, h);
    line(cr, face.top, 0, 0.5, w, 0.5);
}

// CairoPainter: text is laid out by pango with its top at y, as the window's
// text output places it; 8-bit text that is not UTF-8 is read as Latin-1.
// The fonts are resolved once for the process, and text that lies wholly
// outside the area being repainted is not laid out at all.
#include "platform/gtk/CairoPainter.h"

#include "core/TextEncoding.h"

#include <glib.h>

namespace {
// Cell height over em size of the face (ascent + descent of its metrics).
constexpr double kCellToEm = 1.117;
constexpr int kBoldFrom = 550;
constexpr int kDescentAllowance = 4;
constexpr FontSpec kCaptionFont{13, 400};
} // namespace

const char* CairoPainter::faceName()
{
    return "Liberation Sans, Arimo, Arial, sans-serif";
}

PangoFontDescription* CairoPainter::makeFont(int height, int weight)
{
    PangoFontDescription* font = pango_font_description_from_string(faceName());
    pango_font_description_set_absolute_size(font, height / kCellToEm * PANGO_SCALE);
    pango_font_description_set_weight(font, weight >= kBoldFrom ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    return font;
}

CairoPainter::CairoPainter(cairo_t* context, cairo_surface_t* skinSurface)
    : cr(context), skin(skinSurface), layout(pango_cairo_create_layout(context))
{
    selectFont(0);
}

CairoPainter::~CairoPainter()
{
    g_object_unref(layout);
}

void CairoPainter::selectFont(int font)
{
    if (font < 0 || font >= kFontCount)
        font = 0;
    // Kept for the life of the process, as the window's own font table is.
    static PangoFontDescription* const* const fonts = [] {
        static PangoFontDescription* table[kFontCount];
        for (int i = 0; i < kFontCount; ++i)
            table[i] = makeFont(kFontTable[i].height, kFontTable[i].weight);
        return table;
    }();
    pango_layout_set_font_description(layout, fonts[font]);
    lineHeight = kFontTable[font].height;
}

bool CairoPainter::outsideRepaint(double top, double bottom) const
{
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    return bottom < y0 || top > y1;
}

void CairoPainter::setTextColour(int r, int g, int b)
{
    red = r / 255.0;
    green = g / 255.0;
    blue = b / 255.0;
}

void CairoPainter::setLayoutText(const std::string& text)
{
    // Most text is UTF-8 already: laid out without a copy.
    if (isUtf8(text)) {
        pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
        return;
    }
    const std::string shown = displayText(text);
    pango_layout_set_text(layout, shown.data(), static_cast<int>(shown.size()));
}

int CairoPainter::layOutLine(const std::string& text)
{
    pango_layout_set_width(layout, -1);
    setLayoutText(text);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    return width;
}

void CairoPainter::showLayoutAt(int x, int y)
{
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
}

void CairoPainter::drawText(int x, int y, const std::string& text, bool rightAligned)
{
    // One line; its descenders may reach a little below the cell.
    if (text.find('\n') == std::string::npos && outsideRepaint(y, y + lineHeight + kDescentAllowance))
        return;
    const int width = layOutLine(text);
    showLayoutAt(rightAligned ? x - width : x, y);
}

void CairoPainter::drawWrappedText(const Rect& area, const std::string& text)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || outsideRepaint(area.top, area.bottom + kDescentAllowance))
        return;
    cairo_save(cr);
    // The last line's descenders may reach below the rectangle, as the
    // window's fonts (taller cells than their em) let them.
    cairo_rectangle(cr, area.left, area.top, width, height + kDescentAllowance);
    cairo_clip(cr);
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    setLayoutText(text);
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_move_to(cr, area.left, area.top);
    pango_cairo_show_layout(cr, layout);
    pango_layout_set_width(layout, -1);
    cairo_restore(cr);
}

void CairoPainter::drawSkin()
{
    if (skin) {
        cairo_set_source_surface(cr, skin, 0, 0);
    } else {
        cairo_set_source_rgb(cr, 0.85, 0.87, 0.9);
    }
    cairo_paint(cr);
}

void CairoPainter::selectCaptionFont()
{
    static PangoFontDescription* const font = makeFont(kCaptionFont.height, kCaptionFont.weight);
    pango_layout_set_font_description(layout, font);
    lineHeight = kCaptionFont.height;
}

void CairoPainter::drawCentredText(const Rect& area, const std::string& text)
{
    const int width = layOutLine(text);
    showLayoutAt(area.left + (area.right - area.left - width) / 2, area.top);
}

void CairoPainter::fillRect(const Rect& area, int r, int g, int b)
{
    cairo_set_source_rgb(cr, r / 255.0, g / 255.0, b / 255.0);
    cairo_rectangle(cr, area.left, area.top, area.right - area.left, area.bottom - area.top);
    cairo_fill(cr);
}

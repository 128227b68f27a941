// Painter on cairo and pango: the skin bitmap, the pages' text and the
// buttons' faces, in window pixels, with the font table resolved through fontconfig.
#pragma once

#include "platform/Painter.h"

#include <cairo.h>
#include <pango/pangocairo.h>

class CairoPainter final : public Painter {
public:
    // `skin` may be null (no skin loaded): drawSkin then fills a plain background.
    CairoPainter(cairo_t* cr, cairo_surface_t* skin);
    ~CairoPainter() override;
    CairoPainter(const CairoPainter&) = delete;
    CairoPainter& operator=(const CairoPainter&) = delete;

    void selectFont(int font) override;
    void setTextColour(int red, int green, int blue) override;
    void drawText(int x, int y, const std::string& text, bool rightAligned) override;
    void drawWrappedText(const Rect& area, const std::string& text) override;
    void drawSkin() override;
    void selectCaptionFont() override;
    void drawCentredText(const Rect& area, const std::string& text) override;
    void fillRect(const Rect& area, int red, int green, int blue) override;

    // The face that stands in for the window's fonts; metric-compatible with them.
    static const char* faceName();
    // A font of `height` pixels cell height (ascent + descent) and the given weight.
    static PangoFontDescription* makeFont(int height, int weight);

private:
    void setLayoutText(const std::string& text);
    // One line laid out unwrapped; its width in pixels.
    int layOutLine(const std::string& text);
    // The laid-out text in the text colour, its top left at (x, y).
    void showLayoutAt(int x, int y);
    // True when the rows top..bottom lie wholly outside the area being repainted.
    bool outsideRepaint(double top, double bottom) const;

    cairo_t* cr;
    cairo_surface_t* skin;
    PangoLayout* layout;
    double red = 0, green = 0, blue = 0;
    int lineHeight = 0;
};

// Draws an owner-drawn button with cairo and pango in the colours the user
// interface gives for its state (ButtonFace).
#pragma once

#include "ui/ButtonFace.h"

#include <cairo.h>
#include <pango/pango.h>

#include <string>

class ButtonLook {
public:
    // `caption`: the button's text laid out once (its font and text never change).
    static void draw(cairo_t* cr, int width, int height, PangoLayout* caption, const ButtonState& state);
    // The caption's layout for the button's font; the caller owns it.
    static PangoLayout* layoutCaption(cairo_t* cr, const std::string& caption);
};

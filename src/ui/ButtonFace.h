// An owner-drawn button, the same for every toolkit: its colours in each state
// (fill, caption, and each one-pixel edge) and its drawing through the Painter.
// A focused button has all four edges white (grey when disabled), so a pilot on
// the keyboard sees which button Enter presses.
#pragma once

#include "ui/PageCanvas.h"

#include <string>

struct ButtonState {
    bool titleStyle = false;
    bool highlighted = false;
    bool enabled = true;
    bool pressed = false;
    bool focused = false;
};

struct ButtonFace {
    Colour fill;
    Colour caption;
    Colour top;
    Colour left;
    Colour bottom;
    Colour right;

    static ButtonFace of(const ButtonState& state);
    // The whole button, `width` x `height` pixels from (0, 0).
    static void draw(Painter& painter, int width, int height, const std::string& caption, const ButtonState& state);
};

// The colours of an owner-drawn button in each of its states, the same for
// every toolkit: fill, caption, and each one-pixel edge. A focused button has
// all four edges white (grey when disabled), so a pilot on the keyboard sees
// which button Enter presses.
#pragma once

#include "ui/PageCanvas.h"

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
};

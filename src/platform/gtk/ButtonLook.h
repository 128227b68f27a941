// The owner-drawn buttons' look: fill, caption and one-pixel edges in the
// normal, highlighted, disabled and title-bar styles.
#pragma once

#include <cairo.h>

#include <string>

struct ButtonState {
    bool titleStyle = false;
    bool highlighted = false;
    bool enabled = true;
    bool pressed = false;
};

class ButtonLook {
public:
    static void draw(cairo_t* cr, int width, int height, const std::string& caption, const ButtonState& state);

private:
    struct Colours {
        double fill[3];
        double caption[3];
        double edge[3];
        double light[3];
    };
    static Colours coloursFor(const ButtonState& state);
    static void drawEdges(cairo_t* cr, int width, int height, const Colours& colours, bool pressed);
};

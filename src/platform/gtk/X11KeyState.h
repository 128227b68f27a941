// The state of L, Ctrl and Shift as the display server sees it, whatever
// window has the focus. Without an X display (Wayland only) no key counts as held.
#pragma once

#include "core/DebugLog.h"

class X11KeyState {
public:
    // Which key is asked for; kept apart from the window seam's Key, since the
    // X11 headers define a Window of their own.
    enum class Which { L, Control, Shift };

    X11KeyState();
    bool isDown(Which key);

private:
    // Every answer within this long after a query reads the same keymap: one
    // round trip to the server per tick would cost more than the tick itself,
    // and a pilot holds a key far longer.
    static constexpr long long kKeymapAgeUs = 50000;

    void* display = nullptr; // the X11 Display of GDK's default display, when it is one
    char keymap[32] = {};
    unsigned char codes[5] = {}; // L, left and right Ctrl, left and right Shift; 0 for none
    bool codesKnown = false;
    long long keymapTime = -1; // monotonic microseconds of the last query; -1 before the first
    CDebugLog log;
};

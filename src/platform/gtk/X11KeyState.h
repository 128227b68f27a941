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
    ~X11KeyState();
    X11KeyState(const X11KeyState&) = delete;
    X11KeyState& operator=(const X11KeyState&) = delete;

    bool isDown(Which key);
    // Every X event, as GDK's filter sees it; raw key presses and releases of
    // the whole display count, whichever window has the focus.
    void onEvent(const void* xevent);

private:
    // Without the input extension's raw key events, every answer within this
    // long after a query reads the same keymap: a pilot holds a key far longer.
    static constexpr long long kKeymapAgeUs = 50000;

    void queryKeymap();
    void listenForRawKeys();

    void* display = nullptr; // the X11 Display of GDK's default display, when it is one
    unsigned char codes[5] = {}; // L, left and right Ctrl, left and right Shift; 0 for none
    bool held[5] = {};
    int inputOpcode = -1;    // the input extension's opcode once raw key events come; -1 = polling
    long long keymapTime = -1; // monotonic microseconds of the last query; -1 before the first
    CDebugLog log;
};

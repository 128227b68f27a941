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
    void* display = nullptr; // the X11 Display of GDK's default display, when it is one
    CDebugLog log;
};

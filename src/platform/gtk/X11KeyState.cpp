// X11KeyState: one XQueryKeymap answers every question for 50 ms; the key
// codes come from the server's own mapping, so other layouts find their L key too.
#include "platform/gtk/X11KeyState.h"

#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_X11
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>
#endif

X11KeyState::X11KeyState() : log("X11KeyState")
{
#ifdef GDK_WINDOWING_X11
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    if (gdkDisplay && GDK_IS_X11_DISPLAY(gdkDisplay))
        display = gdk_x11_display_get_xdisplay(gdkDisplay);
#endif
    if (!display)
        log.warn("No X display: the Ctrl-Shift-L shortcut is not available");
}

bool X11KeyState::isDown(Which key)
{
#ifdef GDK_WINDOWING_X11
    if (!display)
        return false;
    auto* x = static_cast<Display*>(display);
    const long long now = g_get_monotonic_time();
    if (keymapTime < 0 || now - keymapTime >= kKeymapAgeUs) {
        XQueryKeymap(x, keymap);
        keymapTime = now;
    }
    if (!codesKnown) {
        const KeySym syms[5] = {XK_l, XK_Control_L, XK_Control_R, XK_Shift_L, XK_Shift_R};
        for (int i = 0; i < 5; ++i)
            codes[i] = XKeysymToKeycode(x, syms[i]);
        codesKnown = true;
    }
    auto held = [&](int i) { return codes[i] != 0 && (keymap[codes[i] / 8] & (1 << (codes[i] % 8))) != 0; };
    switch (key) {
    case Which::L:
        return held(0);
    case Which::Control:
        return held(1) || held(2);
    case Which::Shift:
        return held(3) || held(4);
    }
#else
    (void)key;
#endif
    return false;
}

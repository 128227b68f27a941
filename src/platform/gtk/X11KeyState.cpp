// X11KeyState: the keys come as raw events of the input extension, so asking
// costs nothing; without it, one XQueryKeymap answers every question for
// 50 ms. The key codes come from the server's own mapping, so other layouts
// find their L key too.
#include "platform/gtk/X11KeyState.h"

#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_X11
#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>
#endif

namespace {
GdkFilterReturn filterKeys(GdkXEvent* xevent, GdkEvent*, gpointer keys)
{
    static_cast<X11KeyState*>(keys)->onEvent(xevent);
    return GDK_FILTER_CONTINUE;
}
} // namespace

X11KeyState::X11KeyState() : log("X11KeyState")
{
#ifdef GDK_WINDOWING_X11
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    if (gdkDisplay && GDK_IS_X11_DISPLAY(gdkDisplay))
        display = gdk_x11_display_get_xdisplay(gdkDisplay);
    if (display) {
        auto* x = static_cast<Display*>(display);
        const KeySym syms[5] = {XK_l, XK_Control_L, XK_Control_R, XK_Shift_L, XK_Shift_R};
        for (int i = 0; i < 5; ++i)
            codes[i] = XKeysymToKeycode(x, syms[i]);
        queryKeymap(); // keys already held when the window opens
        listenForRawKeys();
    }
#endif
    if (!display)
        log.warn("No X display: the Ctrl-Shift-L shortcut is not available");
}

X11KeyState::~X11KeyState()
{
#ifdef GDK_WINDOWING_X11
    if (inputOpcode >= 0)
        gdk_window_remove_filter(nullptr, filterKeys, this);
#endif
}

void X11KeyState::queryKeymap()
{
#ifdef GDK_WINDOWING_X11
    char keymap[32] = {};
    XQueryKeymap(static_cast<Display*>(display), keymap);
    for (int i = 0; i < 5; ++i)
        held[i] = codes[i] != 0 && (keymap[codes[i] / 8] & (1 << (codes[i] % 8))) != 0;
    keymapTime = g_get_monotonic_time();
#endif
}

void X11KeyState::listenForRawKeys()
{
#ifdef GDK_WINDOWING_X11
    auto* x = static_cast<Display*>(display);
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(x, "XInputExtension", &opcode, &event, &error))
        return;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    gdk_x11_display_error_trap_push(gdkDisplay);
    XISelectEvents(x, DefaultRootWindow(x), &mask, 1);
    if (gdk_x11_display_error_trap_pop(gdkDisplay) != 0) {
        log.debug("No raw key events: the keys are asked of the display every 50 ms");
        return;
    }
    inputOpcode = opcode;
    gdk_window_add_filter(nullptr, filterKeys, this);
#endif
}

void X11KeyState::onEvent(const void* xevent)
{
#ifdef GDK_WINDOWING_X11
    const auto* ev = static_cast<const XEvent*>(xevent);
    if (ev->type != GenericEvent || ev->xcookie.extension != inputOpcode || ev->xcookie.data == nullptr)
        return;
    const int type = ev->xcookie.evtype;
    if (type != XI_RawKeyPress && type != XI_RawKeyRelease)
        return;
    const int code = static_cast<const XIRawEvent*>(ev->xcookie.data)->detail;
    for (int i = 0; i < 5; ++i)
        if (codes[i] != 0 && codes[i] == code)
            held[i] = type == XI_RawKeyPress;
#else
    (void)xevent;
#endif
}

bool X11KeyState::isDown(Which key)
{
#ifdef GDK_WINDOWING_X11
    if (!display)
        return false;
    if (inputOpcode < 0 && g_get_monotonic_time() - keymapTime >= kKeymapAgeUs)
        queryKeymap();
    switch (key) {
    case Which::L:
        return held[0];
    case Which::Control:
        return held[1] || held[2];
    case Which::Shift:
        return held[3] || held[4];
    }
#else
    (void)key;
#endif
    return false;
}

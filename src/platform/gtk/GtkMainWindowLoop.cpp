// GtkMainWindow's idle tick: a source of the GLib loop at idle priority,
// dispatched only when no event waits. The pause that ends a tick is spent in
// the loop's own wait (a timeout source for the next tick), so events are
// handled meanwhile and the loop never spins. While a message box runs its own
// loop or the tray menu is open, the source is removed, so no tick runs.
#include "platform/gtk/GtkMainWindow.h"

void GtkMainWindow::startTicking(std::function<bool()> idleCall)
{
    idle = std::move(idleCall);
    if (!idle && idleSource) {
        g_source_remove(idleSource);
        idleSource = 0;
    }
    if (idle && !idleSource && modalDepth == 0)
        idleSource = g_idle_add(idleTick, this);
}

namespace {
void leaveLoop()
{
    if (gtk_main_level() > 0)
        gtk_main_quit();
}
} // namespace

gboolean GtkMainWindow::idleTick(gpointer self)
{
    auto* w = static_cast<GtkMainWindow*>(self);
    if (w->closed || !w->idle) {
        w->idleSource = 0;
        leaveLoop();
        return G_SOURCE_REMOVE;
    }
    w->inTick = true;
    const bool goOn = w->idle();
    w->inTick = false;
    if (!goOn || w->closed) {
        w->idleSource = 0;
        leaveLoop();
        return G_SOURCE_REMOVE;
    }
    const std::uint32_t pause = w->owedPauseMs;
    w->owedPauseMs = 0;
    if (w->idleSource == 0) // a message box during the tick took the source away
        return G_SOURCE_REMOVE;
    // The next tick: after the pause the tick asked for, else when idle again.
    w->idleSource =
        pause > 0 ? g_timeout_add_full(G_PRIORITY_DEFAULT_IDLE, pause, idleTick, w, nullptr) : g_idle_add(idleTick, w);
    return G_SOURCE_REMOVE;
}

bool GtkMainWindow::pauseBeforeNextTick(std::uint32_t ms)
{
    if (!inTick)
        return false;
    owedPauseMs = ms;
    return true;
}

void GtkMainWindow::suspendTicks()
{
    ++modalDepth;
    // A box opened by the tick itself: GLib does not re-enter a running source.
    if (idleSource && !inTick) {
        g_source_remove(idleSource);
        idleSource = 0;
    }
}

void GtkMainWindow::resumeTicks()
{
    if (--modalDepth > 0 || !idle || inTick || idleSource)
        return;
    idleSource = g_idle_add(idleTick, this);
}

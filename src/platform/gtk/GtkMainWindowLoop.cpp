// GtkMainWindow's idle tick: one source of the GLib loop at idle priority for
// the window's life, dispatched only when no event waits. The pause that ends
// a tick is spent in the loop's own wait (the source's ready time moves to the
// next tick), so events are handled meanwhile and the loop never spins; no
// source is made or freed per tick. While a message box runs its own loop or
// the tray menu is open, the source is never ready, so no tick runs.
#include "platform/gtk/GtkMainWindow.h"

namespace {

gboolean dispatchTick(GSource*, GSourceFunc callback, gpointer self)
{
    return callback(self);
}

GSourceFuncs g_tickFuncs = {nullptr, nullptr, dispatchTick, nullptr, nullptr, nullptr};

void leaveLoop()
{
    if (gtk_main_level() > 0)
        gtk_main_quit();
}

} // namespace

void GtkMainWindow::armTicks(gint64 readyTime)
{
    if (!tickSource) {
        tickSource = g_source_new(&g_tickFuncs, sizeof(GSource));
        g_source_set_priority(tickSource, G_PRIORITY_DEFAULT_IDLE);
        g_source_set_callback(tickSource, idleTick, this, nullptr);
        g_source_attach(tickSource, nullptr);
    }
    g_source_set_ready_time(tickSource, readyTime);
}

void GtkMainWindow::dropTicks()
{
    if (!tickSource)
        return;
    g_source_destroy(tickSource);
    g_source_unref(tickSource);
    tickSource = nullptr;
}

void GtkMainWindow::startTicking(std::function<bool()> idleCall)
{
    idle = std::move(idleCall);
    if (!idle)
        dropTicks();
    else if (!tickSource)
        armTicks(modalDepth == 0 ? 0 : -1);
}

gboolean GtkMainWindow::idleTick(gpointer self)
{
    auto* w = static_cast<GtkMainWindow*>(self);
    if (w->closed || !w->idle) {
        w->dropTicks();
        leaveLoop();
        return G_SOURCE_REMOVE;
    }
    w->inTick = true;
    const bool goOn = w->idle();
    w->inTick = false;
    if (!goOn || w->closed) {
        w->dropTicks();
        leaveLoop();
        return G_SOURCE_REMOVE;
    }
    const std::uint32_t pause = w->owedPauseMs;
    w->owedPauseMs = 0;
    if (!w->tickSource) // the tick stopped the ticking
        return G_SOURCE_REMOVE;
    // The next tick: after the pause the tick asked for, else when idle again.
    w->armTicks(w->modalDepth > 0 ? -1 : pause > 0 ? g_get_monotonic_time() + gint64{pause} * 1000 : 0);
    return G_SOURCE_CONTINUE;
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
    if (tickSource && !inTick)
        g_source_set_ready_time(tickSource, -1);
}

void GtkMainWindow::resumeTicks()
{
    if (--modalDepth > 0 || !idle || inTick)
        return;
    armTicks(0);
}

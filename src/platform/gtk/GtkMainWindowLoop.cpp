// GtkMainWindow's idle tick: an idle source of the GLib loop, dispatched only
// when no event waits. The tick sleeps its own 10 ms, so the loop never spins.
// While a message box runs its own loop, the source is removed, so no tick runs.
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
    if (w->idleSource == 0) // a message box during the tick took the source away
        return G_SOURCE_REMOVE;
    return G_SOURCE_CONTINUE;
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

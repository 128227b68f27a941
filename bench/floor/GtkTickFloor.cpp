// The least a GTK window that ticks every 10 ms costs: a small window and one
// tick source at idle priority whose ready time moves 10 ms on after each
// empty tick, as the client's window loop does. Run beside the window client
// by bench/client_resources.sh, to read its figure against.
//   gtk_tick_floor [SECONDS]   (without SECONDS it ticks until it is ended)
#include <gtk/gtk.h>

#include <cstdlib>

namespace {

GSource* g_tick = nullptr;

gboolean dispatchTick(GSource*, GSourceFunc callback, gpointer data)
{
    return callback(data);
}

GSourceFuncs g_tickFuncs = {nullptr, nullptr, dispatchTick, nullptr, nullptr, nullptr};

gboolean emptyTick(gpointer)
{
    g_source_set_ready_time(g_tick, g_get_monotonic_time() + 10000);
    return G_SOURCE_CONTINUE;
}

gboolean quit(gpointer)
{
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

} // namespace

int main(int argc, char** argv)
{
    if (!gtk_init_check(&argc, &argv))
        return 2;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "tick floor");
    // Shown in the screen's corner and never focused, so the window beside
    // it keeps its clicks and keys.
    gtk_window_set_default_size(GTK_WINDOW(window), 40, 30);
    gtk_window_set_accept_focus(GTK_WINDOW(window), FALSE);
    gtk_window_set_focus_on_map(GTK_WINDOW(window), FALSE);
    GdkRectangle area{0, 0, 640, 480};
    if (GdkMonitor* monitor = gdk_display_get_monitor(gdk_display_get_default(), 0))
        gdk_monitor_get_geometry(monitor, &area);
    gtk_window_move(GTK_WINDOW(window), area.x + area.width - 40, area.y + area.height - 30);
    gtk_widget_show_all(window);
    g_tick = g_source_new(&g_tickFuncs, sizeof(GSource));
    g_source_set_priority(g_tick, G_PRIORITY_DEFAULT_IDLE);
    g_source_set_callback(g_tick, emptyTick, nullptr, nullptr);
    g_source_attach(g_tick, nullptr);
    g_source_set_ready_time(g_tick, 0);
    if (argc > 1)
        g_timeout_add_seconds(static_cast<guint>(std::atoi(argv[1])), quit, nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_main();
    return 0;
}

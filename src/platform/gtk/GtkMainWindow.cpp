// GtkMainWindow: everything lives in one GtkFixed: the canvas (skin + pages) at
// the bottom, the controls above it at the positions the user interface gives.
#include "platform/gtk/GtkMainWindow.h"

#include "core/TextEncoding.h"
#include "platform/gtk/CairoPainter.h"
#include "ui/ControlIds.h"

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 380;

GtkMessageType messageType(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::Information:
        return GTK_MESSAGE_INFO;
    case MessageBoxIcon::Error:
        return GTK_MESSAGE_ERROR;
    case MessageBoxIcon::Warning:
    case MessageBoxIcon::Exclamation:
        break;
    }
    return GTK_MESSAGE_WARNING;
}

} // namespace

GtkMainWindow::GtkMainWindow(const std::string& title, const std::string& resources)
    : resourceFolder(resources), log("GtkMainWindow")
{
    skinOk = skin.load(resources);
    if (!skinOk)
        log.error("Unable to retrieve the skin: " + skin.error());
    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), displayText(title).c_str());
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_widget_set_size_request(window, kWidth, kHeight);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_icon_from_file(GTK_WINDOW(window), (resources + "/icon.png").c_str(), nullptr);
    g_signal_connect(window, "delete-event", G_CALLBACK(deleteRequested), this);

    layer = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(window), layer);
    canvas = gtk_drawing_area_new();
    gtk_widget_set_size_request(canvas, kWidth, kHeight);
    gtk_widget_add_events(canvas, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(canvas, "draw", G_CALLBACK(drawCanvas), this);
    g_signal_connect(canvas, "button-press-event", G_CALLBACK(pressCanvas), this);
    gtk_fixed_put(GTK_FIXED(layer), canvas, 0, 0);
    gtk_widget_show(canvas);
    gtk_widget_show(layer);
    gtk_widget_realize(window);
    if (skinOk)
        gtk_widget_shape_combine_region(window, skin.region());
}

GtkMainWindow::~GtkMainWindow()
{
    dropTicks();
    tray.remove();
    if (window)
        gtk_widget_destroy(window);
}

void GtkMainWindow::show()
{
    gtk_widget_show(window);
    gtk_window_present(GTK_WINDOW(window));
}

GtkMainWindow::Control* GtkMainWindow::find(int id)
{
    for (auto& control : controls) {
        if (control->layout.id == id)
            return control.get();
    }
    return nullptr;
}

void GtkMainWindow::command(int id)
{
    if (events)
        events->onCommand(id);
}

gboolean GtkMainWindow::drawCanvas(GtkWidget*, cairo_t* cr, gpointer self)
{
    auto* w = static_cast<GtkMainWindow*>(self);
    CairoPainter painter(cr, w->skin.bitmap());
    painter.drawSkin();
    if (w->events)
        w->events->onPaint(painter);
    return TRUE;
}

gboolean GtkMainWindow::pressCanvas(GtkWidget*, GdkEventButton* event, gpointer self)
{
    auto* w = static_cast<GtkMainWindow*>(self);
    if (event->button == 1 && event->type == GDK_BUTTON_PRESS)
        gtk_window_begin_move_drag(GTK_WINDOW(w->window), 1, static_cast<int>(event->x_root),
                                   static_cast<int>(event->y_root), event->time);
    return TRUE;
}

gboolean GtkMainWindow::deleteRequested(GtkWidget*, GdkEvent*, gpointer self)
{
    // Closing from the desktop leaves as "Exit" does, so nothing is lost.
    static_cast<GtkMainWindow*>(self)->command(IdMenuExit);
    return TRUE;
}

void GtkMainWindow::invalidate(const Rect* area)
{
    if (!area) {
        gtk_widget_queue_draw(canvas);
        return;
    }
    gtk_widget_queue_draw_area(canvas, area->left, area->top, area->right - area->left, area->bottom - area->top);
}

void GtkMainWindow::paintNow()
{
    GdkWindow* surface = gtk_widget_get_window(canvas);
    if (!surface || !gtk_widget_get_visible(window))
        return;
        // The one way GTK 3 paints at once, before a long call blocks the loop.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    gdk_window_process_updates(surface, TRUE);
#pragma GCC diagnostic pop
    gdk_display_flush(gtk_widget_get_display(window));
}

MessageBoxResult GtkMainWindow::messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                                           MessageBoxIcon icon)
{
    GtkWindow* parent = gtk_widget_get_visible(window) ? GTK_WINDOW(window) : nullptr;
    GtkWidget* dialog = gtk_message_dialog_new(
        parent, GTK_DIALOG_MODAL, messageType(icon),
        buttons == MessageBoxButtons::OkCancel ? GTK_BUTTONS_OK_CANCEL : GTK_BUTTONS_OK, "%s", displayText(text).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), displayText(title).c_str());
    suspendTicks();
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    resumeTicks();
    if (buttons == MessageBoxButtons::Ok)
        return MessageBoxResult::Ok;
    return response == GTK_RESPONSE_OK ? MessageBoxResult::Ok : MessageBoxResult::Cancel;
}

bool GtkMainWindow::isKeyDown(Key key)
{
    switch (key) {
    case Key::L:
        return keys.isDown(X11KeyState::Which::L);
    case Key::Control:
        return keys.isDown(X11KeyState::Which::Control);
    case Key::Shift:
        return keys.isDown(X11KeyState::Which::Shift);
    }
    return false;
}

bool GtkMainWindow::addTrayIcon(const std::string& tooltip)
{
    return tray.add(
        resourceFolder + "/icon.png", tooltip, [this] { maximise(); }, [this](int id) { command(id); },
        [this](bool open) { open ? suspendTicks() : resumeTicks(); });
}

void GtkMainWindow::minimise()
{
    gtk_window_iconify(GTK_WINDOW(window));
}

void GtkMainWindow::maximise()
{
    // The window has one size; "maximised" shows it in front, restored.
    gtk_widget_show(window);
    gtk_window_deiconify(GTK_WINDOW(window));
    gtk_window_present(GTK_WINDOW(window));
}

void GtkMainWindow::hide()
{
    gtk_widget_hide(window);
}

void GtkMainWindow::close()
{
    closed = true;
    gtk_widget_hide(window);
}

// TrayIcon on GtkStatusIcon, the notification-area icon GTK 3 still offers on
// X11 desktops with a system tray.
#include "platform/gtk/TrayIcon.h"

#include "core/TextEncoding.h"
#include "ui/ControlIds.h"

// GtkStatusIcon is deprecated in GTK 3 but is its only notification-area icon.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {
constexpr guint kEmbedCheckMs = 3000;
} // namespace

TrayIcon::TrayIcon() : log("TrayIcon") {}

TrayIcon::~TrayIcon()
{
    remove();
}

bool TrayIcon::add(const std::string& iconFile, const std::string& tooltip, std::function<void()> onActivate,
                   std::function<void(int)> onCommand, std::function<void(bool)> onMenuOpen)
{
    remove();
    activate = std::move(onActivate);
    command = std::move(onCommand);
    menuOpen = std::move(onMenuOpen);
    GtkStatusIcon* status = gtk_status_icon_new_from_file(iconFile.c_str());
    gtk_status_icon_set_tooltip_text(status, displayText(tooltip).c_str());
    gtk_status_icon_set_visible(status, TRUE);
    icon = G_OBJECT(status);
    g_signal_connect(icon, "activate", G_CALLBACK(activated), this);
    g_signal_connect(icon, "popup-menu", G_CALLBACK(popup), this);

    menu = gtk_menu_new();
    g_object_ref_sink(menu);
    const std::pair<const char*, int> items[] = {{"Maximize", IdMenuMaximise}, {"Exit", IdMenuExit}};
    for (const auto& [label, id] : items) {
        GtkWidget* item = gtk_menu_item_new_with_label(label);
        g_object_set_data(G_OBJECT(item), "command", GINT_TO_POINTER(id));
        g_signal_connect(item, "activate", G_CALLBACK(menuItem), this);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
        gtk_widget_show(item);
    }
    g_signal_connect(menu, "deactivate", G_CALLBACK(menuHidden), this);
    embedCheck = g_timeout_add(kEmbedCheckMs, checkEmbedded, this);
    return true;
}

void TrayIcon::remove()
{
    if (embedCheck)
        g_source_remove(embedCheck);
    embedCheck = 0;
    if (menu) {
        menuHidden(menu, this);
        gtk_widget_destroy(menu);
        g_object_unref(menu);
        menu = nullptr;
    }
    if (icon) {
        gtk_status_icon_set_visible(GTK_STATUS_ICON(icon), FALSE);
        g_object_unref(icon);
        icon = nullptr;
    }
}

gboolean TrayIcon::checkEmbedded(gpointer self)
{
    auto* tray = static_cast<TrayIcon*>(self);
    tray->embedCheck = 0;
    if (tray->icon && !gtk_status_icon_is_embedded(GTK_STATUS_ICON(tray->icon)))
        tray->log.warn("The desktop has no notification area: the tray icon and its menu are not shown");
    return G_SOURCE_REMOVE;
}

// Like a popup menu's own loop elsewhere: the client does not tick while it is open.
void TrayIcon::menuShown(GtkWidget*, gpointer self)
{
    auto* tray = static_cast<TrayIcon*>(self);
    if (tray->menuShowing)
        return;
    tray->menuShowing = true;
    if (tray->menuOpen)
        tray->menuOpen(true);
}

void TrayIcon::menuHidden(GtkWidget*, gpointer self)
{
    auto* tray = static_cast<TrayIcon*>(self);
    if (!tray->menuShowing)
        return;
    tray->menuShowing = false;
    if (tray->menuOpen)
        tray->menuOpen(false);
}

void TrayIcon::activated(GObject*, gpointer self)
{
    auto* tray = static_cast<TrayIcon*>(self);
    if (tray->activate)
        tray->activate();
}

void TrayIcon::popup(GObject*, guint, guint, gpointer self)
{
    auto* tray = static_cast<TrayIcon*>(self);
    menuShown(tray->menu, tray);
    gtk_menu_popup_at_pointer(GTK_MENU(tray->menu), nullptr);
    if (!gtk_widget_get_visible(tray->menu)) // no grab: the menu never opened
        menuHidden(tray->menu, tray);
}

void TrayIcon::menuItem(GtkMenuItem* item, gpointer self)
{
    auto* tray = static_cast<TrayIcon*>(self);
    const int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), "command"));
    if (tray->command)
        tray->command(id);
}

#pragma GCC diagnostic pop

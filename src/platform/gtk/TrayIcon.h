// The notification-area icon with its "Maximize"/"Exit" menu. Where the
// desktop has no notification area the icon stays unseen and the log says so.
#pragma once

#include "core/DebugLog.h"

#include <gtk/gtk.h>

#include <functional>
#include <string>

class TrayIcon {
public:
    TrayIcon();
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // onActivate: a left click; onCommand: a menu item's command id;
    // onMenuOpen: the popup menu opened (true) or closed (false).
    bool add(const std::string& iconFile, const std::string& tooltip, std::function<void()> onActivate,
             std::function<void(int)> onCommand, std::function<void(bool)> onMenuOpen);
    void remove();

private:
    static void activated(GObject*, gpointer self);
    static void popup(GObject*, guint button, guint time, gpointer self);
    static void menuItem(GtkMenuItem* item, gpointer self);
    static gboolean checkEmbedded(gpointer self);
    static void menuShown(GtkWidget*, gpointer self);
    static void menuHidden(GtkWidget*, gpointer self);

    GObject* icon = nullptr;
    GtkWidget* menu = nullptr;
    guint embedCheck = 0;
    std::function<void()> activate;
    std::function<void(int)> command;
    std::function<void(bool)> menuOpen;
    bool menuShowing = false;
    CDebugLog log;
};

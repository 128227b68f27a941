// The main window on GTK 3: undecorated, shaped by the skin's outline, moved by
// dragging the skin; the skin and the pages drawn on a canvas under the
// controls; owner-drawn buttons, native entries, check boxes, combo boxes and
// the progress bar placed at their pixel positions.
#pragma once

#include "core/DebugLog.h"
#include "platform/Toolkit.h"
#include "platform/gtk/SkinImage.h"
#include "platform/gtk/TrayIcon.h"
#include "platform/gtk/X11KeyState.h"

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class GtkMainWindow final : public Window {
public:
    // `resources`: the folder of the skin, region and icon.
    GtkMainWindow(const std::string& title, const std::string& resources);
    ~GtkMainWindow() override;
    GtkMainWindow(const GtkMainWindow&) = delete;
    GtkMainWindow& operator=(const GtkMainWindow&) = delete;

    bool skinLoaded() const { return skinOk; }
    // The toplevel, for screenshots and placement.
    GtkWidget* widget() const { return window; }

    void setEvents(WindowEvents* windowEvents) override { events = windowEvents; }
    void invalidate(const Rect* area) override;
    void paintNow() override;
    MessageBoxResult messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                                MessageBoxIcon icon) override;
    bool isKeyDown(Key key) override;
    bool pauseBeforeNextTick(std::uint32_t ms) override;

    bool createControl(const ControlSpec& layout) override;
    void showControl(int id, bool visible) override;
    void enableControl(int id, bool enabled) override;
    void setButtonLook(int id, bool highlighted, bool enabled) override;
    std::string getControlText(int id) override;
    void setControlText(int id, const std::string& text) override;
    bool getCheck(int id) override;
    void setCheck(int id, bool checked) override;
    void setComboItems(int id, const std::vector<std::string>& items, int selected) override;
    int getComboSelection(int id) override;
    void setProgress(int id, double fraction) override;

    bool addTrayIcon(const std::string& tooltip) override;
    void removeTrayIcon() override { tray.remove(); }

    void minimise() override;
    void maximise() override;
    void hide() override;
    void close() override;
    bool isClosed() const override { return closed; }

    // Runs `idle` whenever the loop has nothing else to do, except while a
    // message box is open; stops when it answers false or the window closes.
    void startTicking(std::function<bool()> idle);
    void show();

private:
    struct Control {
        ControlSpec layout;
        GtkWidget* widget = nullptr; // what is placed and shown
        GtkWidget* input = nullptr;  // entry, text view, check button, combo or progress bar
        bool highlighted = false;
        bool lookEnabled = true;
        bool pressed = false;
        GtkMainWindow* owner = nullptr;
    };

    Control* find(int id);
    GtkWidget* makeButton(Control& control);
    GtkWidget* makeEdit(Control& control);
    GtkWidget* makeCheckBox(Control& control);
    void command(int id);
    void suspendTicks();
    void resumeTicks();

    static gboolean drawCanvas(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean pressCanvas(GtkWidget*, GdkEventButton* event, gpointer self);
    static gboolean drawButton(GtkWidget* widget, cairo_t* cr, gpointer control);
    static gboolean pressButton(GtkWidget* widget, GdkEventButton* event, gpointer control);
    static gboolean releaseButton(GtkWidget* widget, GdkEventButton* event, gpointer control);
    static gboolean keyOnButton(GtkWidget*, GdkEventKey* event, gpointer control);
    static gboolean focusChanged(GtkWidget* widget, GdkEventFocus*, gpointer);
    static void checkToggled(GtkToggleButton*, gpointer control);
    static void editChanged(GtkWidget*, gpointer control);
    static void digitsOnly(GtkEditable* editable, gchar* text, gint length, gint*, gpointer);
    static gboolean deleteRequested(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean idleTick(gpointer self);
    void armTicks(gint64 readyTime);
    void dropTicks();

    GtkWidget* window = nullptr;
    GtkWidget* layer = nullptr;
    GtkWidget* canvas = nullptr;
    SkinImage skin;
    bool skinOk = false;
    std::string resourceFolder;
    std::vector<std::unique_ptr<Control>> controls;
    WindowEvents* events = nullptr;
    X11KeyState keys;
    TrayIcon tray;
    std::function<bool()> idle;
    // The tick's one source for the window's life: ready at once (when the
    // loop is idle), at the end of a pause, or never while a box is open.
    GSource* tickSource = nullptr;
    std::uint32_t owedPauseMs = 0; // asked for by the tick that runs
    bool inTick = false;
    int modalDepth = 0;
    bool closed = false;
    bool settingCheck = false;
    CDebugLog log;
};

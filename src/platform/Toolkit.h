// The window seam: what the portable user interface asks of the toolkit that
// shows it (GTK, Win32, or the headless double the tests and scripted runs drive).
//
// The user interface owns no toolkit object. It creates its controls through
// the Window, reads and writes their state by control id, and paints through a
// Painter that the toolkit hands to WindowEvents::onPaint. Button commands,
// menu and tray commands all arrive as WindowEvents::onCommand(id).
#pragma once

#include "platform/Painter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class MessageBoxButtons { Ok, OkCancel };
enum class MessageBoxIcon { Warning, Exclamation, Information, Error };
enum class MessageBoxResult { Ok, Cancel };
enum class Key { L, Control, Shift };

// Control kinds, numbered as the control records store them.
enum class ControlKind { Button = 0, Edit = 1, CheckBox = 2, Combo = 3, Progress = 4 };

// Style flags of a control; the toolkit maps them to its own.
enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleVisible = 1u << 0,      // created visible (buttons and check boxes)
    StylePassword = 1u << 1,     // edit: masked input
    StyleMultiLine = 1u << 2,    // edit: several lines
    StyleRightAligned = 1u << 3, // edit: text flush right
    StyleDigitsOnly = 1u << 4,   // edit: digits only
    StyleHScroll = 1u << 5,      // edit: scrolls horizontally
    StyleSmooth = 1u << 6,       // progress bar: continuous
    StyleTitleButton = 1u << 7,  // button: drawn in the title-bar style
};

struct ControlSpec {
    ControlKind kind = ControlKind::Button;
    int id = 0;
    std::string caption;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    unsigned style = StyleNone;
};

// What the window reports back to the user interface.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // Paint the pages on top of the skin (the toolkit has drawn the skin).
    virtual void onPaint(Painter& painter) = 0;
    // A button, menu or tray command.
    virtual void onCommand(int id) = 0;
    // The pilot changed the text of an edit field.
    virtual void onEditChanged(int) {}
    // The session ends (log-off, shutdown): what "Exit" does, without asking,
    // before returning; the system may end the process right after.
    virtual void onEndSession() {}
};

class Window {
public:
    virtual ~Window() = default;

    // Where paints and commands go; set once the user interface exists.
    virtual void setEvents(WindowEvents* events) = 0;

    // Marks an area (nullptr: the whole window) for repainting.
    virtual void invalidate(const Rect* area) = 0;
    // Paints what is marked at once, before returning.
    virtual void paintNow() = 0;
    // Modal box; blocks until the pilot answers. No tick runs while it is open.
    virtual MessageBoxResult messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                                        MessageBoxIcon icon) = 0;
    // True while the key is held down, whatever window has the focus.
    virtual bool isKeyDown(Key key) = 0;
    // The pause that ends every tick: a toolkit whose loop can wait for its
    // events that long before the next tick takes it over and answers true;
    // otherwise the tick sleeps.
    virtual bool pauseBeforeNextTick(std::uint32_t) { return false; }

    // Controls, addressed by id (the first control created with that id).
    virtual bool createControl(const ControlSpec& layout) = 0;
    virtual void showControl(int id, bool visible) = 0;
    // The toolkit's own disabled state (tank fields).
    virtual void enableControl(int id, bool enabled) = 0;
    // The owner-drawn look of a button: highlight colours, greyed when disabled.
    virtual void setButtonLook(int id, bool highlighted, bool enabled) = 0;
    virtual std::string getControlText(int id) = 0;
    virtual void setControlText(int id, const std::string& text) = 0;
    virtual bool getCheck(int id) = 0;
    virtual void setCheck(int id, bool checked) = 0;
    // Empties the combo box, adds the items in order and selects one (-1: none).
    virtual void setComboItems(int id, const std::vector<std::string>& items, int selected) = 0;
    // Index of the selected item, -1 when none.
    virtual int getComboSelection(int id) = 0;
    // Progress bar position, 0.0 to 1.0.
    virtual void setProgress(int id, double fraction) = 0;

    // Notification-area icon with its "Maximize"/"Exit" menu, where the desktop has one.
    virtual bool addTrayIcon(const std::string& tooltip) = 0;
    virtual void removeTrayIcon() = 0;

    virtual void minimise() = 0;
    virtual void maximise() = 0;
    virtual void hide() = 0;
    virtual void close() = 0;
    virtual bool isClosed() const = 0;
};

// The toolkit: makes the main window and runs the loop.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    // The undecorated 600 x 380 skinned main window; nullptr when it cannot be made.
    virtual std::unique_ptr<Window> createMainWindow(const std::string& title) = 0;
    // Dispatches window events; whenever none is waiting, calls idle (one tick).
    // Returns when the main window is closed or idle answers false.
    virtual void run(Window& window, const std::function<bool()>& idle) = 0;
    // True when the window hears log-off and shutdown itself (onEndSession);
    // otherwise the front-end ends the loop on the process's signals.
    virtual bool handlesSessionEnd() const { return false; }
};

// The platform's window toolkit (GtkToolkit.cpp / Win32Toolkit.cpp).
// Connects to the display, once, before the toolkit is made; false when there
// is none (the program then runs without a window).
bool openPlatformDisplay();
// nullptr, with `error` saying why, when the window cannot be shown (its
// resources are missing).
std::unique_ptr<Toolkit> createPlatformToolkit(std::string& error);

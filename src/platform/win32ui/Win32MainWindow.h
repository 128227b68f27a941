// The main window on Win32: a 600 x 380 popup cut to the skin's outline and
// moved by dragging any point of the skin; the skin and the pages painted
// through GDI; owner-drawn buttons in the core's button faces, native edit
// fields, check boxes, combo boxes and the progress bar at their positions;
// the notification-area icon with its menu.
#pragma once

#include "core/DebugLog.h"
#include "platform/Toolkit.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Win32MainWindow final : public Window {
public:
    explicit Win32MainWindow(const std::string& title);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    // False when the window or its skin could not be made.
    bool created() const { return handle != nullptr && skinBitmap != nullptr; }
    HWND hwnd() const { return handle; }

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
    void removeTrayIcon() override;

    void minimise() override;
    void maximise() override;
    void hide() override;
    void close() override;
    bool isClosed() const override { return closed; }

    void show();
    // The loop's part of a message: accelerators, Enter on a button, dialog
    // navigation (tab order). True when the message was consumed.
    bool preTranslate(MSG& message);
    // Milliseconds the loop still waits before the next tick.
    std::uint32_t pauseLeft() const;
    void setTicking(bool ticking) { inTick = ticking; }

private:
    struct Control {
        ControlSpec layout;
        HWND handle = nullptr;
        bool highlighted = false;
        bool lookEnabled = true;
    };

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool loadSkin();
    void paint();
    void drawButton(const DRAWITEMSTRUCT& item);
    LRESULT colourStatic(HDC dc, HWND control);
    void trayNotified(LPARAM mouse);
    void command(int id);
    Control* find(int id);
    Control* findByHandle(HWND control);
    HWND controlWindow(int id);

    HWND handle = nullptr;
    HINSTANCE instance = nullptr;
    HBITMAP skinBitmap = nullptr;
    HDC skinDc = nullptr;
    HGDIOBJ skinDcPrevious = nullptr;
    HBRUSH skinBrush = nullptr;
    HICON icon = nullptr;
    HACCEL accelerators = nullptr;
    int skinWidth = 0;
    int skinHeight = 0;
    std::vector<std::unique_ptr<Control>> controls;
    WindowEvents* events = nullptr;
    bool trayAdded = false;
    bool closed = false;
    bool inTick = false;
    ULONGLONG nextTickAt = 0;
    CDebugLog log;
};

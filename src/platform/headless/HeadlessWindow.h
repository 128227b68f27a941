// A Window without a screen: holds every control in memory, records what was
// asked of it, and answers message boxes through a scripted responder. Tests
// and the headless client drive it as a pilot would drive the real window.
#pragma once

#include "platform/Toolkit.h"
#include "platform/headless/RecordingPainter.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class HeadlessWindow : public Window {
public:
    struct ShownBox {
        std::string text;
        std::string title;
        MessageBoxButtons buttons;
        MessageBoxIcon icon;
    };

    // One control as the toolkit would hold it.
    struct Control {
        ControlSpec layout;
        bool visible = false;
        bool enabled = true;      // the toolkit's own disabled state
        bool highlighted = false; // owner-drawn look
        bool lookEnabled = true;  // owner-drawn look
        std::string text;
        bool checked = false;
        std::vector<std::string> items;
        int selected = -1;
        double progress = 0.0;
    };

    void setEvents(WindowEvents* windowEvents) override { events = windowEvents; }
    void invalidate(const Rect* area) override;
    // Paints at once into `painter` (the skin first, then the pages).
    void paintNow() override;
    MessageBoxResult messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                                MessageBoxIcon icon) override;
    bool isKeyDown(Key key) override { return keysDown.count(key) != 0; }

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
    void removeTrayIcon() override { trayIcon = false; }

    void minimise() override { state = "minimised"; }
    void maximise() override { state = "maximised"; }
    void hide() override { state = "hidden"; }
    void close() override { closed = true; }
    bool isClosed() const override { return closed; }

    // What a pilot does: a click on a visible, enabled control reaches the user
    // interface; false (and nothing happens) otherwise.
    bool click(int id);
    // What typing does: the edit field's text changes and the window hears of
    // it; a digits-only field takes only the digits.
    bool typeText(int id, const std::string& text);
    // What a click on a check box does: it toggles and its command reaches the
    // user interface; false (and nothing happens) when it cannot be reached.
    bool clickCheck(int id);
    // Selects the combo item with this text; false when there is none.
    bool selectComboText(int id, const std::string& text);

    const Control* findControl(int id) const;
    bool isControlVisible(int id) const;
    // Ids of the visible controls, in creation order.
    std::vector<int> visibleControls() const;
    // Paints the whole window into a fresh recording and returns it.
    const RecordingPainter& paintAll();

    // Message-box answers: the responder when set, else the queue, else nextAnswer.
    std::function<MessageBoxResult(const ShownBox&)> responder;
    std::deque<MessageBoxResult> answers;
    MessageBoxResult nextAnswer = MessageBoxResult::Ok;
    // Called after every message box is recorded (printing, tests).
    std::function<void(const ShownBox&)> onMessageBox;

    std::set<Key> keysDown;
    std::vector<ShownBox> boxes;
    std::vector<Rect> invalidated; // whole-window invalidations are {0,0,0,0}
    int wholeWindowInvalidations = 0;
    int paints = 0;
    RecordingPainter painter;
    std::string state = "normal";
    std::string trayTooltip;
    bool trayIcon = false;
    bool closed = false;

private:
    Control* find(int id);
    // A hidden or minimised window takes no clicks and no typing.
    bool reachable() const { return state != "hidden" && state != "minimised"; }

    WindowEvents* events = nullptr;
    std::vector<Control> controls;
};

// A Window without a screen: records what was asked of it and answers message
// boxes and key states as the test sets them.
#pragma once

#include "platform/Toolkit.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class HeadlessWindow final : public Window {
public:
    struct ShownBox {
        std::string text;
        std::string title;
        MessageBoxButtons buttons;
        MessageBoxIcon icon;
    };

    void invalidate(const Rect* area) override;
    void paintNow() override { ++paints; }
    MessageBoxResult messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                                MessageBoxIcon icon) override;
    bool isKeyDown(Key key) override { return keysDown.count(key) != 0; }
    void showControl(int id, bool visible) override { controlVisible[id] = visible; }
    void minimise() override { state = "minimised"; }
    void maximise() override { state = "maximised"; }
    void hide() override { state = "hidden"; }
    void close() override { closed = true; }

    bool isControlVisible(int id) const;

    std::set<Key> keysDown;
    MessageBoxResult nextAnswer = MessageBoxResult::Ok;
    std::vector<ShownBox> boxes;
    std::vector<Rect> invalidated; // whole-window invalidations are {0,0,0,0}
    int wholeWindowInvalidations = 0;
    int paints = 0;
    std::map<int, bool> controlVisible;
    std::string state = "normal";
    bool closed = false;
};

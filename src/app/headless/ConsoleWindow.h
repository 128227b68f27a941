// The headless front-end's window: message boxes and repaint requests are
// printed to standard output; no key is ever held.
#pragma once

#include "platform/Toolkit.h"

class ConsoleWindow final : public Window {
public:
    void invalidate(const Rect*) override {}
    void paintNow() override {}
    MessageBoxResult messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                                MessageBoxIcon icon) override;
    bool isKeyDown(Key) override { return false; }
    void showControl(int, bool) override {}
    void minimise() override {}
    void maximise() override {}
    void hide() override {}
    void close() override { closed = true; }

    bool closed = false;
};

// The headless toolkit: makes HeadlessWindows and runs the idle loop without a
// screen, for tests and the scripted headless client.
#pragma once

#include "platform/Toolkit.h"

class HeadlessToolkit final : public Toolkit {
public:
    std::unique_ptr<Window> createMainWindow(const std::string& title) override;
    // Calls idle until it answers false or the window is closed.
    void run(Window& window, const std::function<bool()>& idle) override;
};

// The Win32 toolkit: the skinned main window and the message loop that ticks
// the client whenever the queue is empty.
#pragma once

#include "platform/Toolkit.h"

class Win32Toolkit final : public Toolkit {
public:
    // Registers the common controls (the progress bar's class).
    Win32Toolkit();
    std::unique_ptr<Window> createMainWindow(const std::string& title) override;
    void run(Window& window, const std::function<bool()>& idle) override;
    // WM_QUERYENDSESSION and WM_ENDSESSION reach the window.
    bool handlesSessionEnd() const override { return true; }
};

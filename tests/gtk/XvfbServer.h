// A private X server for the window tests: Xvfb on a display number it picks
// itself, stopped when the object goes.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return !display.empty(); }
    // ":N", also exported as DISPLAY for this process and its children.
    const std::string& name() const { return display; }

private:
    pid_t pid = -1;
    int reader = -1;
    std::string display;
};

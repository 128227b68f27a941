// HeadlessToolkit: no events to dispatch, so every turn of the loop is idle.
#include "platform/headless/HeadlessToolkit.h"

#include "platform/headless/HeadlessWindow.h"

std::unique_ptr<Window> HeadlessToolkit::createMainWindow(const std::string&)
{
    return std::make_unique<HeadlessWindow>();
}

void HeadlessToolkit::run(Window& window, const std::function<bool()>& idle)
{
    while (!window.isClosed() && idle()) {
    }
}

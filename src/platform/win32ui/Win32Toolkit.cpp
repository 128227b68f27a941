// Win32Toolkit: peek, translate, dispatch; with the queue empty, one tick. The
// pause a tick ends with is spent waiting for messages, so the window answers
// meanwhile and the next tick still comes that much later.
#include "platform/win32ui/Win32Toolkit.h"

#include "platform/win32ui/Win32MainWindow.h"

#include <commctrl.h>
#include <windows.h>

Win32Toolkit::Win32Toolkit()
{
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

std::unique_ptr<Window> Win32Toolkit::createMainWindow(const std::string& title)
{
    auto window = std::make_unique<Win32MainWindow>(title);
    if (!window->created())
        return nullptr;
    return window;
}

void Win32Toolkit::run(Window& window, const std::function<bool()>& idle)
{
    auto& main = static_cast<Win32MainWindow&>(window);
    if (main.isClosed())
        return;
    main.show();
    MSG message;
    while (!main.isClosed()) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                break;
            if (!main.preTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            continue;
        }
        if (const std::uint32_t wait = main.pauseLeft(); wait > 0) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
            continue;
        }
        main.setTicking(true);
        const bool goOn = idle();
        main.setTicking(false);
        if (!goOn)
            break;
    }
}

// A window program always has its desktop.
bool openPlatformDisplay()
{
    return true;
}

std::unique_ptr<Toolkit> createPlatformToolkit(std::string&)
{
    return std::make_unique<Win32Toolkit>();
}

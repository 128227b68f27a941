// CWin32FrontEnd: each page the pilot sees is announced on the standard output
// ("page N shown"), as the Linux window does, for scripts that follow a flight.
#include "app/win32/Win32FrontEnd.h"

#include "app/ClientStartup.h"
#include "core/ClientConfig.h"
#include "platform/SingleInstance.h"
#include "platform/SoundOutput.h"
#include "platform/win32ui/Win32Toolkit.h"
#include "ui/UserInterface.h"

#include <iostream>

CWin32FrontEnd::CWin32FrontEnd(const ProgramOptions& programOptions) : options(programOptions) {}

int CWin32FrontEnd::run()
{
    Win32Toolkit toolkit;
    std::unique_ptr<SoundOutput> sound = createPlatformSoundOutput();
    auto instance =
        createPlatformSingleInstance(CClientConfig::getInstance().getDataFolder(), "RevOvuduveMultipleInstance");
    CClientStartup startup(toolkit, *sound, *instance);
    startup.onReady = [](Window&, CUserInterface& ui) {
        ui.onPageShown = [](int page) { std::cout << "page " << page << " shown" << std::endl; };
    };
    return startup.run();
}

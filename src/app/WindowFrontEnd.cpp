// CWindowFrontEnd: each page the pilot sees is announced on the standard output
// ("page N shown") for scripts that follow a flight. Where the window does not
// hear log-off and shutdown itself, SIGINT and SIGTERM leave the loop as "Exit"
// would end it, so the settings are saved and the fire-and-forget uploads get
// their moment.
#include "app/WindowFrontEnd.h"

#include "app/ClientStartup.h"
#include "app/ExitCodes.h"
#include "app/ExitSignals.h"
#include "core/ClientConfig.h"
#include "platform/SingleInstance.h"
#include "platform/SoundOutput.h"
#include "platform/Toolkit.h"
#include "ui/UserInterface.h"

#include <csignal>
#include <iostream>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

} // namespace

CWindowFrontEnd::CWindowFrontEnd(const ProgramOptions& programOptions) : options(programOptions) {}

int CWindowFrontEnd::run()
{
    std::string error;
    std::unique_ptr<Toolkit> toolkit = createPlatformToolkit(error);
    if (!toolkit) {
        std::cerr << error << std::endl;
        return ExitStartFailed;
    }
    if (!toolkit->handlesSessionEnd())
        CExitSignals::install(onInterrupt);
    std::unique_ptr<SoundOutput> sound = createPlatformSoundOutput();
    auto instance =
        createPlatformSingleInstance(CClientConfig::getInstance().getDataFolder(), "RevOvuduveMultipleInstance");
    CClientStartup startup(*toolkit, *sound, *instance);
    startup.onReady = [](Window&, CUserInterface& ui) {
        ui.onPageShown = [](int page) { std::cout << "page " << page << " shown" << std::endl; };
    };
    startup.afterTick = [] { return g_interrupted == 0; };
    return startup.run();
}

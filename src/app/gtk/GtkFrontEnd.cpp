// CGtkFrontEnd: each page the pilot sees is announced on the standard output
// ("page N shown"). SIGINT and SIGTERM leave the loop as "Exit" would end it, so
// the settings are saved and the fire-and-forget uploads get their moment.
#include "app/gtk/GtkFrontEnd.h"

#include "app/ClientStartup.h"
#include "app/ExitCodes.h"
#include "app/ExitSignals.h"
#include "core/ClientConfig.h"
#include "platform/ResourceFolder.h"
#include "platform/SingleInstance.h"
#include "platform/SoundOutput.h"
#include "platform/gtk/GtkToolkit.h"
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

CGtkFrontEnd::CGtkFrontEnd(const ProgramOptions& programOptions) : options(programOptions) {}

bool CGtkFrontEnd::openDisplay()
{
    return GtkToolkit::initialise();
}

int CGtkFrontEnd::run()
{
    const std::string resources = findResourceFolder();
    if (resources.empty()) {
        std::cerr << "cannot find the client's resources (skin.png); set QVL_RESOURCE_DIR" << std::endl;
        return ExitStartFailed;
    }
    CExitSignals::install(onInterrupt);
    GtkToolkit toolkit(resources);
    std::unique_ptr<SoundOutput> sound = createPlatformSoundOutput();
    auto instance =
        createPlatformSingleInstance(CClientConfig::getInstance().getDataFolder(), "RevOvuduveMultipleInstance");
    CClientStartup startup(toolkit, *sound, *instance);
    startup.onReady = [&](Window&, CUserInterface& ui) {
        // Scripts and measurements follow the pages on the standard output.
        ui.onPageShown = [](int page) { std::cout << "page " << page << " shown" << std::endl; };
    };
    startup.afterTick = [] { return g_interrupted == 0; };
    return startup.run();
}

// CClientStartup: the instance check comes before the user interface, so a
// second client never loads, logs in with, or saves over the first one's files.
#include "app/ClientStartup.h"

#include "app/ExitCodes.h"
#include "client/Client.h"
#include "platform/ResourceFolder.h"
#include "platform/SingleInstance.h"
#include "platform/Toolkit.h"
#include "recorder/FlightRecorder.h"
#include "report/IniParser.h"
#include "server/ClientInterface.h"
#include "ui/Sound.h"
#include "ui/UserInterface.h"

#include <cstdlib>
#include <ctime>

namespace {
constexpr const char* kWindowTitle = "Quenvale";
constexpr unsigned kBackgroundSendGraceMs = 5000;
} // namespace

CClientStartup::CClientStartup(Toolkit& windowToolkit, SoundOutput& soundOutput, SingleInstance& singleInstance)
    : toolkit(windowToolkit), sound(soundOutput), instance(singleInstance), log("Main")
{
}

bool CClientStartup::onlyInstance()
{
    switch (instance.claim()) {
    case SingleInstance::Claim::First:
        return true;
    case SingleInstance::Claim::Unavailable:
        // Better a client that runs than one the lock file keeps from starting.
        log.warn("Could not check for another running client: " + instance.lastError());
        return true;
    case SingleInstance::Claim::Refused:
        break;
    }
    log.debug("Multiple instances detected. Shutting down application!");
    if (std::unique_ptr<Window> window = toolkit.createMainWindow(kWindowTitle))
        window->messageBox("The client is already running!", "Attention - Multiple Instances", MessageBoxButtons::Ok,
                           MessageBoxIcon::Warning);
    return false;
}

int CClientStartup::run()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (!onlyInstance())
        return ExitAlreadyRunning;
    const int status = runClient();
    // The store saves both files as it ends (the pilot's login among them).
    if (CIniParser::hasInstance())
        CIniParser::destroyInstance();
    return status;
}

int CClientStartup::runClient()
{
    std::unique_ptr<Window> window = toolkit.createMainWindow(kWindowTitle);
    if (!window) {
        log.error("Could not create the main window");
        return ExitStartFailed;
    }
    CUserInterface ui(*window, sound);
    ui.getFlightRecorder().setEnabled(true);
    if (const std::string resources = findResourceFolder(); !resources.empty()) {
        log.debug("Resources in " + resources);
        ui.getSound().setPath(resources + "/sound");
    }
    window->addTrayIcon(kWindowTitle);
    if (onReady)
        onReady(*window, ui);
    ui.OnCreate();
    {
        CClient client(ui);
        toolkit.run(*window, [&] {
            client.tick();
            client.checkKeyboard();
            return !afterTick || afterTick();
        });
    }
    window->removeTrayIcon();
    // The report's fire-and-forget uploads get a moment to arrive; a stalled
    // service never keeps the client alive past it.
    ui.getClient().stopBackgroundSends(kBackgroundSendGraceMs);
    window->setEvents(nullptr);
    return ExitOk;
}

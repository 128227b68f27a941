// HeadlessRun: the steps a pilot would click through, then the driver loop.
#include "HeadlessRun.h"

#include "platform/headless/HeadlessWindow.h"

#include "core/Client.h"
#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/Clock.h"
#include "platform/SoundOutput.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/ServerSettings.h"
#include "sim/SimulatorChoice.h"
#include "ui/ControlIds.h"
#include "ui/UserInterface.h"

#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

class SilentSound final : public SoundOutput {
public:
    bool playAsync(const std::string& path) override
    {
        std::cout << "  (sound " << path << ")" << std::endl;
        return true;
    }
};

// Notices the driver's "End flight" press; the end-of-flight page comes later.
class HeadlessUserInterface final : public CUserInterface {
public:
    using CUserInterface::CUserInterface;
    void OnButton(int id) override
    {
        if (id == IdEndFlight)
            endFlightPressed = true;
        CUserInterface::OnButton(id);
    }
    bool endFlightPressed = false;
};

bool loginAndFetch(CClientInterface& client, const HeadlessOptions& o)
{
    client.applyServerSettings(CServerSettings::fromValues(o.serverUrl, "", "", o.caFile), 0);
    if (client.login(o.user, o.password) != 0) {
        std::cout << "login failed: " << client.getResultText() << std::endl;
        return false;
    }
    client.getPilotData();
    const int route = client.getRoute();
    if (route != 0) {
        std::cout << "no booking: " << client.getResultText() << std::endl;
        return false;
    }
    std::cout << "pilot " << client.pilot.name << " " << client.pilot.surname << ", flight " << client.route.r_Number
              << " " << client.flightLog.l_Departure << " -> " << client.flightLog.l_Arrival << ", "
              << client.flightLog.l_Passengers << " passengers, " << client.flightLog.l_Cargo << " kg cargo"
              << std::endl;
    return true;
}

bool connectSimulator(CFlightSimulatorInterface& sim)
{
    for (int attempt = 0; attempt < 60; ++attempt) {
        if (sim.connect())
            return true;
        processClock().sleepMs(500);
    }
    std::cout << "no simulator answered" << std::endl;
    return false;
}

// The load sheet the pilot would confirm: the booking's load, the fuel in the
// tanks accepted as the fuel at the start.
void startFlight(CUserInterface& ui, CFlightSimulatorInterface& sim)
{
    CClientInterface& client = ui.getClient();
    sim.getEverything();
    sim.getAircraftTanks();
    ui.startFlightMonitoring();
    sim.lPassengers = std::atoi(client.flightLog.l_Passengers);
    sim.lCargo = std::atoi(client.flightLog.l_Cargo);
    sim.lPackages = client.flightLog.package_kg;
    sim.keepTankLevels();
    sim.lFuelAtStart = sim.fuelOnBoardRounded();
    sim.nMinFuel = sim.lFuelAtStart;
    sim.lFlightTimeAtStart = static_cast<std::int32_t>(sim.dFlightTime);
    ui.getFlightState().setPhase(PhaseBoarding);
    ui.SetPage(PageFlying);
    std::cout << "flight started with " << sim.lFuelAtStart << " kg of fuel" << std::endl;
}

void printSummary(CUserInterface& ui, CFlightSimulatorInterface& sim)
{
    std::cout << "touchdown " << sim.lLandingVerticalSpeed << " ft/min, fuel " << sim.lFuelAtTakeoff
              << " kg at take-off, " << sim.lFuelAtLanding << " kg at landing" << std::endl;
    for (const CEventRecord& e : ui.getBlackbox().getEventLog())
        std::cout << "event: " << e.elapsedSeconds << " s, " << fieldText(e.phaseName) << ", " << fieldText(e.text)
                  << std::endl;
    for (int item = 0; item < ReportItemCount; ++item) {
        if (ui.getReport().getPenalty(item).active != 0)
            std::cout << "report item: " << CReport::reasonText(item) << std::endl;
    }
}

} // namespace

HeadlessRun::HeadlessRun(const HeadlessOptions& o) : options(o) {}

int HeadlessRun::run()
{
    HeadlessWindow window;
    window.onMessageBox = [](const HeadlessWindow::ShownBox& box) {
        std::cout << "[" << box.title << "] " << box.text << std::endl;
    };
    SilentSound sound;
    HeadlessUserInterface ui(window, sound);
    ui.autosaveMode = options.autosaveMode;
    ui.trackerOn = options.tracker;
    ui.getReport().setTrackerEnabled(options.tracker);
    ui.ResetFlight();
    if (!loginAndFetch(ui.getClient(), options))
        return 2;
    ui.setSimulator(createSimulatorInterface(options.fsInterface, ui.getClient()));
    CFlightSimulatorInterface& sim = *ui.getSimulator();
    if (!connectSimulator(sim))
        return 3;
    std::cout << "simulator: " << sim.getSimulatorIdent() << std::endl;
    startFlight(ui, sim);

    CClient client(ui);
    const std::int64_t end = processClock().nowMs() + options.minutes * 60000LL;
    int phase = sim.lFlightPhase;
    while (!ui.endFlightPressed && processClock().nowMs() < end && ui.getPage() == PageFlying) {
        client.tick();
        client.checkKeyboard();
        if (sim.lFlightPhase != phase) {
            phase = sim.lFlightPhase;
            std::cout << "phase: " << CFlightState::getPhaseName(phase) << " (" << sim.lRadarAltitude << " ft, "
                      << sim.lGroundSpeed << " kt)" << std::endl;
        }
    }
    printSummary(ui, sim);
    ui.getClient().waitForBackgroundSends(5000);
    if (!ui.endFlightPressed) {
        std::cout << "the flight did not reach the block" << std::endl;
        return 1;
    }
    std::cout << "flight ended on block" << std::endl;
    return 0;
}

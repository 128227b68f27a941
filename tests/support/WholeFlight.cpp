// CWholeFlight: booking, start and the tick loop.
#include "support/WholeFlight.h"

#include "client/Client.h"
#include "monitor/FlightState.h"
#include "recorder/FlightRecorder.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "ui/ControlIds.h"

CWholeFlight::CWholeFlight(const BridgeFactory& makeBridge, Advance advanceSimulator, bool record)
    : advance(std::move(advanceSimulator)), recording(record), simulatedMs(clock->nowMs())
{
    CClient::resetProcessValues();
    userInterface = std::make_unique<RecordingUserInterface>(window, sounds);
    userInterface->getFlightRecorder().setEnabled(record);
    CClientInterface& c = userInterface->getClient();
    bookFlight(c, TestBooking{"EDDF", 50.0333, 8.5706, "EDDM", 48.3538, 11.7861, "70", "1500", 78000});
    userInterface->setSimulator(makeBridge(c));
    client = std::make_unique<CClient>(*userInterface);
}

CWholeFlight::~CWholeFlight()
{
    client.reset();
    userInterface.reset();
}

CFlightSimulatorInterface& CWholeFlight::simulator()
{
    return *userInterface->getSimulator();
}

void CWholeFlight::tick()
{
    const std::int64_t now = clock->nowMs();
    advance(static_cast<double>(now - simulatedMs) / 1000.0);
    simulatedMs = now;
    client->tick();
}

WholeFlightOutcome CWholeFlight::fly(std::int64_t limitMs)
{
    CFlightSimulatorInterface& fs = simulator();
    WholeFlightOutcome out;
    userInterface->ResetFlight();
    fs.lPassengers = 70;
    fs.lCargo = 1500;
    // What the start action records: the fuel on board, and no fuel minimum yet.
    if (fs.getAircraftTanks() <= 0)
        return out;
    fs.lFuelAtStart = fs.fuelOnBoardRounded();
    fs.nMinFuel = -1;
    if (recording)
        userInterface->startFlightMonitoring();
    userInterface->getFlightState().setPhase(PhaseBoarding);
    userInterface->SetPage(PageFlying);

    out.phases.push_back(fs.lFlightPhase);
    const std::int64_t end = clock->nowMs() + limitMs;
    while (clock->nowMs() < end && userInterface->presses(IdEndFlight) == 0) {
        tick();
        if (fs.lFlightPhase != out.phases.back())
            out.phases.push_back(fs.lFlightPhase);
    }
    out.ended = userInterface->presses(IdEndFlight) > 0;
    for (int item = 0; item < ReportItemCount; ++item) {
        if (userInterface->getReport().hasPenalty(item))
            out.reportItems.push_back(item);
    }
    return out;
}

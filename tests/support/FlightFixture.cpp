// FlightFixture: booking data and the flying start.
#include "support/FlightFixture.h"

#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "server/ClientInterface.h"
#include "ui/ControlIds.h"

#include <algorithm>

int RecordingUserInterface::presses(int id) const
{
    return static_cast<int>(std::count(pressed.begin(), pressed.end(), id));
}

FlightFixture::FlightFixture()
{
    CClient::resetProcessValues();
    ui = std::make_unique<RecordingUserInterface>(window, sounds);
    CClientInterface& c = ui->getClient();
    copyText(c.route.r_Dep, "EGLL");
    copyText(c.route.r_Arr, "EDDF");
    copyText(c.flightLog.l_Departure, "EGLL");
    copyText(c.flightLog.l_Arrival, "EDDF");
    copyText(c.flightLog.l_Passengers, "150");
    copyText(c.flightLog.l_Cargo, "2000");
    c.types.d_DOW = 42600;
    c.types.d_MTOW = 79000;
    c.types.d_MLW = 66000;
    c.types.d_MZFW = 62500;
    c.types.d_Engines = 2;
    c.addAirport(kDepLat, kDepLon, 1.2, -1, 5, "EGLL");
    c.addAirport(kArrLat, kArrLon, 1.3, -1, 5, "EDDF");
    auto scripted = std::make_unique<ScriptedSimulator>(c);
    sim = scripted.get();
    ui->setSimulator(std::move(scripted));
    client = std::make_unique<CClient>(*ui);
    logs.reset();
}

FlightFixture::~FlightFixture()
{
    client.reset();
    ui.reset();
}

void FlightFixture::startFlying()
{
    ui->ResetFlight();
    sim->lPassengers = 150;
    sim->lCargo = 2000;
    // What the flight start leaves behind: the fuel as loaded is the accepted fuel.
    sim->getAircraftTanks();
    sim->keepTankLevels();
    sim->lFuelAtStart = sim->fuelOnBoardRounded();
    sim->nMinFuel = sim->lFuelAtStart;
    ui->getFlightState().setPhase(PhaseBoarding);
    ui->SetPage(PageFlying);
}

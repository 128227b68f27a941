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

void bookFlight(CClientInterface& c, const TestBooking& b)
{
    copyText(c.route.r_Dep, b.dep);
    copyText(c.route.r_Arr, b.arr);
    copyText(c.flightLog.l_Departure, b.dep);
    copyText(c.flightLog.l_Arrival, b.arr);
    copyText(c.flightLog.l_Passengers, b.passengers);
    copyText(c.flightLog.l_Cargo, b.cargo);
    c.types.d_DOW = 42600;
    c.types.d_MTOW = b.mtow;
    c.types.d_MLW = 66000;
    c.types.d_MZFW = 62500;
    c.types.d_Engines = 2;
    c.addAirport(b.depLat, b.depLon, 1.2, -1, 5, b.dep);
    c.addAirport(b.arrLat, b.arrLon, 1.3, -1, 5, b.arr);
}

FlightFixture::FlightFixture()
{
    CClient::resetProcessValues();
    ui = std::make_unique<RecordingUserInterface>(window, sounds);
    ui->createControls();
    CClientInterface& c = ui->getClient();
    bookFlight(c, TestBooking{});
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
    ui->startFlightMonitoring();
    sim->keepTankLevels();
    sim->lFuelAtStart = sim->fuelOnBoardRounded();
    sim->nMinFuel = sim->lFuelAtStart;
    ui->getFlightState().setPhase(PhaseBoarding);
    ui->SetPage(PageFlying);
}

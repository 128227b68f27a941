// RecordedStart: the flight start's part of a recording.
#include "ui/RecordedStart.h"

#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/Clock.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/ActionHost.h"

namespace RecordedStart {

std::vector<Recording::Airport> airports(const CClientInterface& client)
{
    return {client.getAirports().begin(), client.getAirports().end()};
}

void restoreAirports(CClientInterface& client, const std::vector<Recording::Airport>& list)
{
    client.clearAirports();
    // The list is kept newest first and addAirport puts each one in front.
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        client.addAirport(it->lat, it->lon, it->fuelPrice, it->landingFee, it->size, it->code);
}

Recording::Start capture(CActionHost& ui)
{
    CClientInterface& client = ui.getClient();
    Recording::Start s;
    s.timeMs = processClock().nowMs();
    if (CFlightSimulatorInterface* sim = ui.getSimulator()) {
        s.interfaceName = sim->getInterfaceName();
        s.simulatorVersion = sim->getSimulatorVersion();
        s.simulatorIdent = sim->getSimulatorIdent();
    }
    s.osName = CClientConfig::getInstance().getOsName();
    s.fuelMethod = ui.fuelMethod;
    s.weightUnit = ui.weightUnit;
    s.penaltiesOff = ui.penaltiesOff;
    s.trackerOn = ui.trackerOn;
    s.fsMessages = ui.fsMessages;
    s.lastFuelPrice = client.lastFuelPrice;
    s.closestAirport = fieldText(client.closestAirport);
    s.closestAirportDistance = client.closestAirportDistance;
    s.rules = ui.getBlackbox().getRulesText();
    s.pilot = client.pilot;
    s.route = client.route;
    s.flightLog = client.flightLog;
    s.aircraft = client.aircraft;
    s.airline = client.airline;
    s.report = client.report;
    s.types = client.types;
    s.airports = airports(client);
    return s;
}

void restore(CActionHost& ui, const Recording::Start& s)
{
    CClientInterface& client = ui.getClient();
    ui.fuelMethod = s.fuelMethod;
    ui.weightUnit = s.weightUnit;
    ui.penaltiesOff = s.penaltiesOff;
    ui.trackerOn = s.trackerOn;
    ui.fsMessages = s.fsMessages;
    client.lastFuelPrice = s.lastFuelPrice;
    copyText(client.closestAirport, s.closestAirport);
    client.closestAirportDistance = s.closestAirportDistance;
    client.pilot = s.pilot;
    client.route = s.route;
    client.flightLog = s.flightLog;
    client.aircraft = s.aircraft;
    client.airline = s.airline;
    client.report = s.report;
    client.types = s.types;
    restoreAirports(client, s.airports);
    if (!s.rules.empty())
        ui.getBlackbox().loadRulesFromText(s.rules);
}

} // namespace RecordedStart

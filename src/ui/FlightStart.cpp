// CFlightStart: what "Fly!" checks and starts.
#include "ui/FlightStart.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "server/LegacyResult.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/ActionHost.h"
#include "ui/ControlIds.h"
#include "ui/LoadSheetActions.h"

#include <string>

CFlightStart::CFlightStart(CActionHost& userInterface, CLoadSheetActions& sheet)
    : ui(userInterface), loadSheet(sheet), log("CFlightStart")
{
}

void CFlightStart::fly()
{
    ui.getReport().clearPenalties();
    ui.ShowLoading();
    CFlightSimulatorInterface* sim = ui.getSimulator();
    const bool running = sim != nullptr && sim->connect();
    ui.ShowLoading();
    // A report that could not be saved goes up before any new flight starts,
    // and an aborted flight is continued or deleted.
    if (ui.getReport().isHeldInMemory()) {
        ui.SetPage(PageReportBackup);
        return;
    }
    if (ui.getReport().hasContinue()) {
        ui.SetPage(PageAbortedFlight);
        return;
    }
    CClientInterface& client = ui.getClient();
    const bool booked = client.getRoute() == LegacySuccess && leadingInt(fieldText(client.flightLog.l_ID)) >= 1;
    if (sim != nullptr && !sim->checkVersion()) {
        ui.SetPage(PageChecklist);
        return;
    }
    if (!running || !booked) {
        log.debugf("Could not start flight! (Flight Simulator=%d Flight booked=%d)", running ? 1 : 0, booked ? 1 : 0);
        ui.SetPage(PageChecklist);
        return;
    }
    if (!passesChecks())
        return;
    if (ui.getPage() == PageLoadSheet)
        start();
    else
        prepare();
}

void CFlightStart::copyLoadIntoBooking()
{
    CFlightSimulatorInterface& sim = *ui.getSimulator();
    Tervix_Logs& l = ui.getClient().flightLog;
    copyText(l.l_Passengers, std::to_string(sim.lPassengers));
    copyText(l.l_Cargo, std::to_string(sim.lCargo));
}

bool CFlightStart::passesChecks()
{
    CFlightSimulatorInterface& sim = *ui.getSimulator();
    CClientInterface& client = ui.getClient();
    if (ui.getPage() == PageLoadSheet)
        copyLoadIntoBooking();
    ui.ShowLoading();
    sim.getEverything();
    // A lookup that finds nothing must not leave an earlier flight's airport behind.
    client.closestAirport[0] = '\0';
    client.closestAirportDistance = 0.0;
    client.getClosestAirport(sim.dLongitude, sim.dLatitude, -1.0);
    copyText(sim.szClosestAirport, fieldText(client.closestAirport));
    const std::string departure = fieldText(client.flightLog.l_Departure);
    const std::string closest = fieldText(client.closestAirport);
    if (closest != departure || client.closestAirportDistance > kMaxDepartureDistance) {
        log.debug("Could not start flight! Airports not matching. (Expected=" + departure + " Current=" + closest +
                  ")");
    } else if (sim.lRadarAltitude > kMaxRadarAltitudeFt) {
        log.debug("Could not start flight! Aircraft not on ground. (lRadarAltitude = " +
                  std::to_string(sim.lRadarAltitude));
    } else if (sim.lGroundSpeed > kMaxGroundSpeedKt) {
        log.debug("Could not start flight! Aircraft moving (lGroundSpeed =" + std::to_string(sim.lGroundSpeed));
    } else if (const int n = sim.checkAircraftData(); n >= 1) {
        log.debug("Could not start flight! Aircraft type does not match. (" + std::to_string(n) + ")");
    } else if (fieldText(client.flightLog.crew_type) != "captain") {
        // The flight information page tells a crew member the client is not needed.
        ui.SetPage(PageFlightInformation);
        return false;
    } else {
        return true;
    }
    ui.SetPage(PageChecklist);
    return false;
}

void CFlightStart::prepare()
{
    CFlightSimulatorInterface& sim = *ui.getSimulator();
    CClientInterface& client = ui.getClient();
    sim.lCargo = leadingInt(fieldText(client.flightLog.l_Cargo));
    sim.lPassengers = leadingInt(fieldText(client.flightLog.l_Passengers));
    sim.lPackages = client.flightLog.package_kg;
    client.getFuelPrice(fieldText(client.aircraft.a_Location));
    sim.disableSlew();
    const int page = ui.fuelMethod == CUiState::kFuelReadOnly ? PageLoadSheet
                     : ui.fuelMethod == CUiState::kFuelSimple ? PageSimpleFuel
                                                              : PageFuelTanks;
    ui.SetPage(page);
    loadSheet.fillFuelFields(true);
    if (page == PageLoadSheet)
        loadSheet.updateLoadSheetButtons();
}

void CFlightStart::start()
{
    CFlightSimulatorInterface& sim = *ui.getSimulator();
    CClientInterface& client = ui.getClient();
    CReport& report = ui.getReport();
    copyLoadIntoBooking();
    copyText(client.report.Interface, sim.getInterfaceName());
    copyText(client.report.SimVersion, sim.getSimulatorReportCode());
    if (ui.fuelMethod == CUiState::kFuelReadOnly)
        sim.lFuelReadBack = sim.getAircraftTanks();
    else
        sim.setAircraftTanks();
    const int overweight = sim.getOverweight();
    if (overweight >= 1) {
        log.debugf("About to start flight but is overweight (%d)", overweight);
        return;
    }
    sim.getAircraftTanks();
    sim.updateFlightTimer();
    ui.startFlightMonitoring(); // failures armed, blackbox started
    sim.lFuelAtStart = sim.fuelOnBoardRounded();
    // The cheat detector measures refuelling from the fuel as started.
    sim.nMinFuel = sim.lFuelAtStart;
    sim.keepTankLevels();
    sim.dStartLatitude = sim.dLatitude;
    sim.dStartLongitude = sim.dLongitude;
    log.debugf("Flight started! (Tracker: %d)", ui.trackerOn ? 1 : 0);
    sim.lFlightTimeAtStart = truncToInt32(sim.dFlightTime);
    sim.bEmergency = 0;
    sim.bDiverted = 0;
    // Whatever an earlier flight, or an earlier report's logs, left behind:
    // every flight starts boarding, with fresh flags and no report id.
    sim.lFlightPhase = PhaseBoarding;
    sim.lCrashed = 0;
    sim.lLeftStartArea = 0;
    sim.lAbove500Reported = 0;
    copyText(client.report.ReportId, "");
    report.getPositionTracker().resetPositionLog();
    report.recordPosition();
    ui.SetPage(PageFlying);
}

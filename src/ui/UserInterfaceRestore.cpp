// CUserInterface: the two restore actions of a backup, uploading a report
// that could not be sent and resuming an aborted flight, with their checks.
#include "ui/UserInterface.h"

#include "core/FixedText.h"
#include "monitor/CheatDetector.h"
#include "platform/Toolkit.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "server/LegacyResult.h"
#include "sim/FlightSimulatorInterface.h"
#include "sim/SnapshotBlocks.h"
#include "ui/ControlIds.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char* const kNotAllowed = "Restore not allowed!";

enum RestoreFlag {
    FlagAircraft = 1,
    FlagDistance = 2,
    FlagAltitude = 4,
    FlagFuel = 8,
    FlagEmptyWeight = 16,
    FlagMaxWeight = 32,
    FlagArrival = 64,
};

bool isBooked(const Tervix_Logs& flightLog)
{
    const std::string id = fieldText(flightLog.l_ID);
    return isDecimalInteger(id) && leadingInt(id) > 0;
}

// The records a finished report was evaluated with and is sent with.
struct EvaluatedRecords {
    explicit EvaluatedRecords(const CClientInterface& c)
        : flightLog(c.flightLog), aircraft(c.aircraft), airline(c.airline), route(c.route)
    {
    }
    void putBack(CClientInterface& c) const
    {
        c.flightLog = flightLog;
        c.aircraft = aircraft;
        c.airline = airline;
        c.route = route;
    }
    Tervix_Logs flightLog;
    Tervix_Aircrafts aircraft;
    Tervix_VirtualAirlines airline;
    Tervix_Routes route;
};

} // namespace

void CUserInterface::warnBox(const std::string& text, const std::string& title)
{
    window.messageBox(text, title, MessageBoxButtons::Ok, MessageBoxIcon::Warning);
}

void CUserInterface::warnIfReportUnsaved()
{
    if (!report->isHeldInMemory())
        return;
    const std::string why = report->getBackupError();
    log.error("The report could not be saved: " + why);
    warnBox("The report could not be uploaded, and it could not be saved either:\n" + why +
                "\nKeep the client running and use \"Upload\" to try again.",
            "Report not saved!");
}

bool CUserInterface::loadBackupOrWarn()
{
    if (report->loadBackup())
        return true;
    log.warn("Backed up report could not be re-loaded. Report has been illegally modified.");
    warnBox("It looks like the saved report has been illegally modified.\nThe report was not reloaded! \n",
            "Report has been modified!");
    return false;
}

bool CUserInterface::fetchBookingOrWarn(bool& notBooked)
{
    notBooked = false;
    if (client->getRoute() != LegacySuccess) {
        log.warn("Unable to read route data from server.");
        warnBox("Unable to read route data from server.", kNotAllowed);
        return false;
    }
    if (!isBooked(client->flightLog)) {
        notBooked = true;
        log.warn("Flight not booked.");
        warnBox("No flight booked", kNotAllowed);
        return false;
    }
    return true;
}

bool CUserInterface::restoreForUpload()
{
    if (!simulator) {
        log.warn("No simulator interface, backup not restored");
        return false;
    }
    if (!loadBackupOrWarn()) {
        report->clearBackup();
        return false;
    }
    CFlightSimulatorInterface& s = *simulator;
    const std::int32_t totalFuel = TankData::fromSnapshot(s).totalRounded();
    const RestoreReference saved{s.dLatitude, s.dLongitude, s.dAltitude, s.dHeading, s.lGroundSpeed, totalFuel};
    const auto evaluated = std::make_unique<EvaluatedRecords>(*client);
    bool notBooked = false;
    if (!fetchBookingOrWarn(notBooked)) {
        // A passing network fault must not cost the pilot the report: it
        // stays backed up for the next try. A flight no longer booked
        // cannot be reported any more.
        if (notBooked)
            report->clearBackup();
        evaluated->putBack(*client);
        return false;
    }
    // The booking only confirms that the flight may still be reported. The
    // report goes with what its evaluation left in the records (wear,
    // arrival fuel, the reputation change, its own flight log), not with the
    // service's values from before the flight; the type data and airports
    // the fetch brought stay.
    evaluated->putBack(*client);
    restoreReference = saved;
    return true;
}

int CUserInterface::restoreMismatch(const AircraftData& saved, std::int32_t savedFuel, const std::string& savedArrival)
{
    CFlightSimulatorInterface& s = *simulator;
    int flags = 0;
    if (s.checkAircraftData() != 0)
        flags |= FlagAircraft;
    const double distance = CClientInterface::distanceNm(s.dLatitude, s.dLongitude, saved.dLatitude, saved.dLongitude);
    if (distance > saved.lGroundSpeed / 15.0 + 25.0) {
        flags |= FlagDistance;
        log.warnf("Restore Error distance %lf", distance);
    }
    const double climb = std::fabs(s.dAltitude - saved.dAltitude);
    if (climb > 1000.0) {
        flags |= FlagAltitude;
        log.warnf("Restore Error altitude %lf", climb);
    }
    const double excess = static_cast<double>(s.fuelOnBoardRounded()) - savedFuel;
    const double capacity = s.totalTankCapacity();
    // Tanks that report no capacity cannot hold any excess.
    if (excess > 0.0 && (!(capacity > 0.0) || excess / capacity > 1.1)) {
        flags |= FlagFuel;
        log.warnf("Restore Error fuel (%lf) (%lf)", excess, capacity);
    }
    if (std::abs(static_cast<long long>(saved.lEmptyWeight) - s.lEmptyWeight) > 200) {
        flags |= FlagEmptyWeight;
        log.warnf("Restore Error DOW %d %d", saved.lEmptyWeight, s.lEmptyWeight);
    }
    if (static_cast<long long>(saved.lMaxGrossWeight) - s.lMaxGrossWeight > 300) {
        flags |= FlagMaxWeight;
        log.warnf("Restore Error MLW %lf", static_cast<double>(saved.lMaxGrossWeight));
    }
    const std::string fetchedArrival = fieldText(client->flightLog.l_Arrival);
    if (savedArrival != fetchedArrival) {
        flags |= FlagArrival;
        log.warnf("Restore Error arrival (%s)(%s)", savedArrival.c_str(), fetchedArrival.c_str());
    }
    return flags;
}

bool CUserInterface::continueFlight()
{
    if (!simulator) {
        log.warn("No simulator interface, flight not continued");
        return false;
    }
    if (!loadBackupOrWarn())
        return false;
    CFlightSimulatorInterface& s = *simulator;
    const AircraftData saved = AircraftData::fromSnapshot(s);
    const std::string savedArrival = fieldText(client->route.r_Arr);
    const std::int32_t savedFuel = TankData::fromSnapshot(s).totalRounded();
    bool notBooked = false;
    if (!fetchBookingOrWarn(notBooked))
        return false;
    const double elapsed = client->report.arriveSeconds - client->report.departSeconds;
    s.getEverything();
    s.getAircraftTanks();
    client->report.departSeconds = s.dFlightTime - elapsed;
    if (s.dLatitude == 0.0 && s.dLongitude == 0.0) {
        log.warn("Unable to read postion");
        warnBox("Unable to read position from sim, unpause and pause to try again.", "Try again!");
        return false;
    }
    const int flags = restoreMismatch(saved, savedFuel, savedArrival);
    if (flags != 0) {
        char text[128];
        std::snprintf(text, sizeof text, "The current flight does not match the backup data. (%x)", flags);
        log.warn(text);
        warnBox(text, kNotAllowed);
        return false;
    }
    SetPage(PageFlying);
    report->addPenalty(ItemRestoredFlight);
    // The flight is backed up again at once, not two minutes later.
    report->takeBackupRequest();
    if (autosaveMode != 0)
        report->saveBackup(true);
    else
        report->clearBackup();
    s.dStartLatitude = s.dLatitude;
    s.dStartLongitude = s.dLongitude;
    s.dLastAltitude = s.lGroundAltitude + s.lRadarAltitude;
    // The first poll after the restore must not be taken for refuelling.
    s.nMinFuel = -1;
    return true;
}

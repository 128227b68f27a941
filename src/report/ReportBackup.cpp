// CReport: the backup of a flight in the report store, its check code, and
// the upload of the finished report with everything that follows it.
#include "report/Report.h"

#include "core/FixedText.h"
#include "monitor/blackbox/Blackbox.h"
#include "report/IniParser.h"
#include "report/ReportCheckCode.h"
#include "server/ClientInterface.h"
#include "server/LegacyResult.h"
#include "server/RequestDeadline.h"
#include "sim/FlightSimulatorInterface.h"
#include "sim/FlightSimulatorObjects.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kRecords = "Report";
// Set in the store of a report the service already holds: only its logs remain.
const char* const kUploadedKey = "reportuploaded";

std::string slotKey(int item)
{
    return "struct_penalty" + std::to_string(item);
}

// The fixed records of a backup, read aside so that a store missing one of
// them changes nothing.
struct StoredFlight {
    Tervix_Logs flightLog;
    Tervix_Aircrafts aircraft;
    Tervix_VirtualAirlines airline;
    Tervix_Routes route;
    Tervix_Reports report;
    AircraftData block;
    TankData tanks;
    struct_penalty penalties[ReportItemCount];
};

// Sends one log of an uploaded report. One the service acknowledged, or
// refused for good, leaves the store; false when the service could not be
// reached, and the log waits.
template <class Send, class Drop>
bool settleLog(CClientInterface& client, CDebugLog& log, const char* what, Send send, Drop drop)
{
    if (send())
        return true;
    if (!client.wasRefused())
        return false;
    log.warnf("The service refused the %s after the report (%s); it is dropped", what, client.getResultText().c_str());
    drop();
    return true;
}

template <class T> bool readRecord(CIniParser& store, const std::string& key, T& record)
{
    return store.readReportStruct(kRecords, key, &record, sizeof record);
}

} // namespace

void CReport::writeBackupRecords()
{
    CIniParser& store = CIniParser::getInstance();
    // A backup is the whole store; nothing of an earlier one may linger.
    store.resetReport();
    store.writeReportStruct(&client.flightLog, kRecords, "Tervix_Logs", sizeof client.flightLog);
    store.writeReportStruct(&client.aircraft, kRecords, "Tervix_Aircrafts", sizeof client.aircraft);
    store.writeReportStruct(&client.pilot, kRecords, "Tervix_Pilots", sizeof client.pilot);
    store.writeReportStruct(&client.airline, kRecords, "Tervix_VirtualAirlines", sizeof client.airline);
    store.writeReportStruct(&client.route, kRecords, "Tervix_Routes", sizeof client.route);
    store.writeReportStruct(&client.report, kRecords, "Tervix_Reports", sizeof client.report);
    CFlightSimulatorObjects none;
    const CFlightSimulatorObjects& snapshot = simulator != nullptr ? *simulator : none;
    const AircraftData block = AircraftData::fromSnapshot(snapshot);
    const TankData tanks = TankData::fromSnapshot(snapshot);
    store.writeReportStruct(&block, kRecords, "AircraftData", sizeof block);
    store.writeReportStruct(&tanks, kRecords, "TankData", sizeof tanks);
    for (int i = 0; i < ReportItemCount; ++i)
        store.writeReportStruct(&penalties[i], kRecords, slotKey(i), sizeof penalties[i]);
    tracker.savePositions();
    if (blackbox != nullptr)
        blackbox->saveToReport();
    if (reportUploaded)
        store.writeReportString("report", kUploadedKey, "1");
}

bool CReport::commitBackup(bool forContinue)
{
    CIniParser& store = CIniParser::getInstance();
    const char* const keys[4] = {"Backup", "Continue", "Code", "Generation"};
    std::string before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = store.readConfigString("report", keys[i]);
    const std::string code = CReportCheckCode::ofFile(store.getStagedReportPath());
    bool ok = !code.empty();
    ok = ok && store.writeConfigString("report", "Backup", forContinue ? "0" : "1");
    ok = ok && store.writeConfigString("report", "Continue", forContinue ? "1" : "0");
    ok = ok && store.writeConfigString("report", "Code", code);
    ok = ok && store.writeConfigString("report", "Generation", store.getStagedGeneration());
    if (ok && store.saveSettings()) {
        copyText(checkCode, code);
        // The settings now name the staged store; a failed move is finished
        // when the store is next opened.
        store.commitStagedReport();
        return true;
    }
    // The pair on disk is still the previous one; the flags go back to it.
    for (int i = 0; i < 4; ++i)
        store.writeConfigString("report", keys[i], before[i]);
    return false;
}

bool CReport::saveBackup(bool forContinue)
{
    writeBackupRecords();
    CIniParser& store = CIniParser::getInstance();
    if (!store.stageReport() || !commitBackup(forContinue)) {
        // Memory goes back to the previous backup too, so that a later save
        // cannot pair the new store with the old code.
        store.discardStagedReport();
        store.reloadReport();
        backupError = store.getLastError();
        // Once while saves keep failing, not at every autosave.
        if (!backupFailing)
            log.error("Report-Backup could not be written; the previous backup is kept: " + backupError);
        backupFailing = true;
        return false;
    }
    backupFailing = false;
    log.debug("Report-Backup has been created.");
    return true;
}

std::string CReport::computeCheckCode()
{
    const std::string code = CReportCheckCode::ofFile(CIniParser::getInstance().getReportPath());
    copyText(checkCode, code);
    return code;
}

bool CReport::verifyCheckCode()
{
    const std::string stored = CIniParser::getInstance().readConfigString("report", "Code");
    const std::string code = computeCheckCode();
    // An unreadable store has no code, whatever the settings say.
    return !code.empty() && stored == code;
}

bool CReport::readBackupRecords()
{
    CIniParser& store = CIniParser::getInstance();
    auto image = std::make_unique<StoredFlight>();
    bool ok = readRecord(store, "Tervix_Logs", image->flightLog) &&
              readRecord(store, "Tervix_Aircrafts", image->aircraft) &&
              readRecord(store, "Tervix_VirtualAirlines", image->airline) &&
              readRecord(store, "Tervix_Routes", image->route) && readRecord(store, "Tervix_Reports", image->report) &&
              readRecord(store, "AircraftData", image->block) && readRecord(store, "TankData", image->tanks);
    for (int i = 0; ok && i < ReportItemCount; ++i)
        ok = readRecord(store, slotKey(i), image->penalties[i]);
    if (!ok)
        return false;
    client.flightLog = image->flightLog;
    client.aircraft = image->aircraft;
    client.airline = image->airline;
    client.route = image->route;
    client.report = image->report;
    if (simulator != nullptr) {
        CFlightSimulatorInterface& s = *simulator;
        image->block.toSnapshot(s);
        s.dStartLatitude = s.dLatitude;
        s.dStartLongitude = s.dLongitude;
        s.dLastAltitude = s.lGroundAltitude + s.lRadarAltitude;
        image->tanks.toSnapshot(s);
    }
    std::memcpy(penalties, image->penalties, sizeof penalties);
    return true;
}

bool CReport::loadBackup()
{
    if (!verifyCheckCode()) {
        log.warn("Report-Backup could not be loaded. Wrong code!");
        return false;
    }
    // A report backup holds the flight as evaluated at its end.
    const bool finished = CIniParser::getInstance().readConfigInt("report", "Backup") != 0;
    if (!loadStoredFlight(finished))
        return false;
    log.debug("Report-Backup has been loaded.");
    return true;
}

bool CReport::loadStoredFlight(bool finished)
{
    if (!readBackupRecords()) {
        log.error("Report-Backup could not be loaded. Records are missing!");
        return false;
    }
    reportUploaded = CIniParser::getInstance().readReportInt("report", kUploadedKey) == 1;
    const bool positions = tracker.loadPositions();
    const bool events = blackbox == nullptr || blackbox->loadFromReport();
    if (!positions || !events)
        log.error("Report-Backup is incomplete: queued positions or events are missing");
    if (finished) {
        // Its records are already the evaluated ones (wear, fuel multiplier,
        // reputation change), and this session may lack the aircraft type and
        // the airports' fees: evaluating again would change the money.
        tracker.restoreEndPosition();
    } else {
        evaluateFlight();
    }
    log.debug("Critical Backup Data: Tervix_Pilots.ID=" + fieldText(client.pilot.pilot_id));
    log.debug("Critical Backup Data: Tervix_Reports.Pilot_ID=" + fieldText(client.report.Pilot_ID));
    return true;
}

bool CReport::restoreHeld()
{
    CIniParser& store = CIniParser::getInstance();
    const bool ok = store.loadReportText(heldImage) && loadStoredFlight(true);
    store.reloadReport();
    return ok;
}

bool CReport::loadForUpload()
{
    return heldInMemory ? restoreHeld() : loadBackup();
}

bool CReport::clearBackup()
{
    CIniParser& store = CIniParser::getInstance();
    store.writeConfigString("report", "Backup", "0");
    store.writeConfigString("report", "Code", "0");
    store.writeConfigString("report", "Continue", "0");
    store.resetReport();
    store.discardStagedReport();
    reportUploaded = false;
    heldInMemory = false;
    heldImage.clear();
    backupRequested = false;
    if (store.save())
        return true;
    log.error("Report-Backup could not be cleared on disk: " + store.getLastError());
    return false;
}

bool CReport::hasBackup()
{
    return heldInMemory || CIniParser::getInstance().readConfigInt("report", "Backup") != 0;
}

bool CReport::hasContinue()
{
    return CIniParser::getInstance().readConfigInt("report", "Continue") != 0;
}

bool CReport::hasPendingLogs()
{
    if (heldInMemory)
        return heldImage.find(kUploadedKey) != std::string::npos;
    CIniParser& store = CIniParser::getInstance();
    return store.readConfigInt("report", "Backup") != 0 && store.readReportInt("report", kUploadedKey) == 1;
}

bool CReport::takeBackupRequest()
{
    const bool requested = backupRequested;
    backupRequested = false;
    return requested;
}

bool CReport::uploadReport(bool manualUpload)
{
    if (!reportUploaded && !sendReport(manualUpload)) {
        keepForLater();
        return false;
    }
    sendPendingLogs();
    return true;
}

bool CReport::sendReport(bool manualUpload)
{
    if (!client.isServiceReachable()) {
        log.warn("Unable to upload Report! No Connection to Database!");
        return false;
    }
    // From here a kill must lead back to the upload (which the service may
    // answer "ALREADY UPLOADED"), never to an autosave that offers the flight
    // to be continued.
    keepForLater();
    if (client.writeReport(manualUpload)) {
        reportUploaded = true;
        return true;
    }
    // The answer to an earlier upload of this flight log was lost on the way.
    if (client.getResultCode() == LegacyAlreadyUploaded) {
        log.warn("The service already holds the report of this flight; sending what follows it");
        reportUploaded = true;
        dropUnattributedEvents();
        return true;
    }
    log.warn("Unable to upload Report! (writeReport() failed)");
    return false;
}

void CReport::keepForLater()
{
    if (saveBackup(false)) {
        heldInMemory = false;
        heldImage.clear();
        return;
    }
    // Nothing on disk: the report stays in this process for another "Upload".
    CIniParser& store = CIniParser::getInstance();
    writeBackupRecords();
    heldImage = store.reportText();
    store.reloadReport();
    heldInMemory = true;
}

void CReport::dropUnattributedEvents()
{
    // Events name their report only by the service's id; positions carry
    // the flight log's too and still go.
    if (blackbox == nullptr || blackbox->getEventLog().empty() || client.report.ReportId[0] != '\0')
        return;
    log.warnf("The service's id of this report is unknown (its answer was lost): %zu events dropped",
              blackbox->getEventLog().size());
    while (!blackbox->getEventLog().empty())
        blackbox->dropFirstEvent();
}

bool CReport::sendPendingLogs()
{
    // One save takes the store from the autosave (or the backup) to the
    // uploaded report with its logs: the flags never name a report that
    // could be sent twice. Each log leaves the store before the next is sent.
    keepForLater();
    bool ok = true;
    while (ok && !tracker.getQueue().empty()) {
        ok = settleLog(
            client, log, "position", [this] { return tracker.sendFirstQueued(); },
            [this] { tracker.dropFirstQueued(); });
        if (ok)
            keepForLater();
    }
    while (ok && blackbox != nullptr && !blackbox->getEventLog().empty()) {
        ok = settleLog(
            client, log, "event", [this] { return blackbox->sendFirstEvent(); },
            [this] { blackbox->dropFirstEvent(); });
        if (ok)
            keepForLater();
    }
    // The awards call is the last log; it stays pending until it arrives. It
    // runs on the pilot's action, so a stalling service may hold it only a
    // few seconds: what is not through by then goes at the next login.
    if (ok) {
        CRequestDeadline awardsDeadline(CRequestDeadline::kAwardsCallMs);
        ok = settleLog(
            client, log, "awards call", [this] { return client.sendAwards(); }, [] {});
    }
    if (!ok) {
        log.warnf("Report uploaded; %zu positions, %zu events and the awards call wait for the next login or upload",
                  tracker.getQueue().size(), blackbox != nullptr ? blackbox->getEventLog().size() : std::size_t{0});
        return false;
    }
    clearBackup();
    log.debug("Report uploaded successfully.");
    return true;
}

struct CReport::LiveFlight {
    Tervix_Logs flightLog;
    Tervix_Aircrafts aircraft;
    Tervix_VirtualAirlines airline;
    Tervix_Routes route;
    Tervix_Reports report;
    PositionRecord position;
    CFlightSimulatorObjects snapshot;
    struct_penalty penalties[ReportItemCount];
    std::vector<PositionRecord> positions;
    std::int32_t nextPosition = 0;
    std::vector<CEventRecord> events;
    std::int32_t eventsSent = 0;
    bool reportUploaded = false;
};

std::unique_ptr<CReport::LiveFlight> CReport::keepLiveFlight() const
{
    auto live = std::make_unique<LiveFlight>();
    live->flightLog = client.flightLog;
    live->aircraft = client.aircraft;
    live->airline = client.airline;
    live->route = client.route;
    live->report = client.report;
    live->position = client.position;
    if (simulator != nullptr)
        live->snapshot = *simulator;
    std::memcpy(live->penalties, penalties, sizeof penalties);
    live->positions = tracker.getQueue();
    live->nextPosition = tracker.getPendingPositions();
    if (blackbox != nullptr) {
        live->events = blackbox->getEventLog();
        live->eventsSent = blackbox->getEventsSent();
    }
    live->reportUploaded = reportUploaded;
    return live;
}

void CReport::putBackLiveFlight(const LiveFlight& live)
{
    client.flightLog = live.flightLog;
    client.aircraft = live.aircraft;
    client.airline = live.airline;
    client.route = live.route;
    client.report = live.report;
    client.position = live.position;
    if (simulator != nullptr)
        static_cast<CFlightSimulatorObjects&>(*simulator) = live.snapshot;
    std::memcpy(penalties, live.penalties, sizeof penalties);
    tracker.restore(live.positions, live.nextPosition);
    if (blackbox != nullptr)
        blackbox->restoreEventLog(live.events, live.eventsSent);
    reportUploaded = live.reportUploaded;
}

bool CReport::sendPendingLogsFromStore()
{
    // An earlier flight's report passes through the live objects; the
    // pilot's next flight must not start in its state.
    const std::unique_ptr<LiveFlight> live = keepLiveFlight();
    const bool sent = loadForUpload() && uploadReport(true) && !hasBackup();
    putBackLiveFlight(*live);
    return sent;
}

// CReport: the backup of a flight in the report store, its check code, and
// the upload of the finished report with everything that follows it.
#include "report/Report.h"

#include "core/FixedText.h"
#include "monitor/blackbox/Blackbox.h"
#include "report/IniParser.h"
#include "report/ReportCheckCode.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorInterface.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

const char* const kRecords = "Report";

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
}

bool CReport::commitBackup(bool forContinue)
{
    CIniParser& store = CIniParser::getInstance();
    const std::string before[3] = {store.readConfigString("report", "Backup"),
                                   store.readConfigString("report", "Continue"),
                                   store.readConfigString("report", "Code")};
    const std::string code = CReportCheckCode::ofFile(store.getStagedReportPath());
    bool ok = !code.empty();
    ok = ok && store.writeConfigString("report", "Backup", forContinue ? "0" : "1");
    ok = ok && store.writeConfigString("report", "Continue", forContinue ? "1" : "0");
    ok = ok && store.writeConfigString("report", "Code", code);
    if (ok && store.saveSettings()) {
        copyText(checkCode, code);
        // The settings now name the staged store; a failed move is finished
        // when the store is next opened.
        store.commitStagedReport();
        return true;
    }
    // The pair on disk is still the previous one; the flags go back to it.
    store.writeConfigString("report", "Backup", before[0]);
    store.writeConfigString("report", "Continue", before[1]);
    store.writeConfigString("report", "Code", before[2]);
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
        log.error("Report-Backup could not be written; the previous backup is kept");
        return false;
    }
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
    if (!readBackupRecords()) {
        log.error("Report-Backup could not be loaded. Records are missing!");
        return false;
    }
    const bool positions = tracker.loadPositions();
    const bool events = blackbox == nullptr || blackbox->loadFromReport();
    if (!positions || !events)
        log.error("Report-Backup is incomplete: queued positions or events are missing");
    evaluateFlight();
    log.debug("Critical Backup Data: Tervix_Pilots.ID=" + fieldText(client.pilot.pilot_id));
    log.debug("Critical Backup Data: Tervix_Reports.Pilot_ID=" + fieldText(client.report.Pilot_ID));
    log.debug("Report-Backup has been loaded.");
    return true;
}

bool CReport::clearBackup()
{
    CIniParser& store = CIniParser::getInstance();
    store.writeConfigString("report", "Backup", "0");
    store.writeConfigString("report", "Code", "0");
    store.writeConfigString("report", "Continue", "0");
    store.resetReport();
    store.discardStagedReport();
    if (store.save())
        return true;
    log.error("Report-Backup could not be cleared on disk: " + store.getLastError());
    return false;
}

bool CReport::hasBackup()
{
    return CIniParser::getInstance().readConfigInt("report", "Backup") != 0;
}

bool CReport::hasContinue()
{
    return CIniParser::getInstance().readConfigInt("report", "Continue") != 0;
}

bool CReport::uploadReport(bool manualUpload)
{
    if (!client.isServiceReachable()) {
        log.warn("Unable to upload Report! No Connection to Database!");
        saveBackup(false);
        return false;
    }
    if (!client.writeReport(manualUpload)) {
        log.warn("Unable to upload Report! (writeReport() failed)");
        saveBackup(false);
        return false;
    }
    tracker.uploadQueuedPositions();
    if (blackbox != nullptr)
        blackbox->uploadEventLog();
    client.updateAwards();
    clearBackup();
    log.debug("Report uploaded successfully.");
    return true;
}

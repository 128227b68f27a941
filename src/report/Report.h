// The flight report: the 24 report items (penalties and events) of the flight
// and, at its end, the report record with rating and finances.
#pragma once

#include "core/DebugLog.h"
#include "report/PositionTracker.h"
#include "server/Records.h"

#include <cstdint>
#include <memory>
#include <string>

class CFlightSimulatorInterface;
class CClientInterface;
class CEventLog;

enum ReportItem {
    ItemTaxiOverspeed = 0,
    ItemWrongAirport = 1,
    ItemCrashed = 2,
    ItemStillRolling = 3,
    ItemParkingBrakes = 4,
    ItemOverspeedFL100 = 7,
    ItemExhaustedFuel = 8,
    ItemInflightRefueling = 9,
    ItemHardLanding = 10,
    ItemMaxLandingWeight = 11,
    ItemLowAltitude = 12,
    ItemHighSpeedDisabled = 13,
    ItemPenaltiesDisabled = 14,
    ItemEngineFailure = 15,
    ItemGearFailure = 16,
    ItemFlapsFailure = 17,
    ItemRestoredFlight = 18,
    ItemVeryHardLanding = 19,
    ItemGroundAccident = 20,
    ItemSeriousGroundAccident = 21,
    ItemGearUpLanding = 22,
    ItemWaterLanding = 23,
    ReportItemCount = 24
};

class CReport {
public:
    CReport(CFlightSimulatorInterface* simulator, CClientInterface& client, CEventLog* eventLog);
    ~CReport();
    CReport(const CReport&) = delete;
    CReport& operator=(const CReport&) = delete;

    void setSimulator(CFlightSimulatorInterface* simulator)
    {
        this->simulator = simulator;
        tracker.setSimulator(simulator);
    }

    // Sets an item; false when the item is suppressed or unknown.
    bool addPenalty(int item);
    void removePenalty(int item);
    // Active, or suppressed while penalties are disabled (which reads as active).
    bool hasPenalty(int item) const;
    // All 24 items inactive.
    void clearPenalties();
    const struct_penalty& getPenalty(int item) const { return penalties[item]; }

    static bool isSuppressible(int item);
    static const char* reasonText(int item);
    static const char* displayText(int item);

    // The report record of the finished flight (rating, wear, fuel, money);
    // always true. Evaluating again starts from the records as they are.
    bool evaluateFlight();
    // A new login or flight: airline and pilot texts, the report record and
    // all items are emptied.
    void resetFlightData();

    void setTrackerEnabled(bool enabled)
    {
        trackerEnabled = enabled;
        tracker.setEnabled(enabled);
    }
    bool isTrackerEnabled() const { return trackerEnabled; }

    // --- backup in the report store, protected by the check code ---
    // Writes the whole flight; the settings flags say which kind it is
    // (forContinue: a flight in progress, else a report awaiting upload).
    // False when it could not be written; the previous backup then stays.
    bool saveBackup(bool forContinue);
    // Reads the flight back; a flight in progress is evaluated, a finished
    // report keeps the figures of its evaluation. False (nothing loaded) when
    // the store does not match its code, or when the store is incomplete.
    bool loadBackup();
    // The code of the report store as it is on disk.
    std::string computeCheckCode();
    bool verifyCheckCode();
    // No backup: flags and code "0", the report store emptied.
    bool clearBackup();
    // A backup on disk, or a finished report kept in memory because it could
    // not be saved.
    bool hasBackup();
    bool hasContinue();
    // The stored backup holds a report the service already has, with the
    // positions and events that still have to follow it.
    bool hasPendingLogs();
    bool isReportUploaded() const { return reportUploaded; }
    // The finished report lives only in memory: neither sent nor saved.
    bool isHeldInMemory() const { return heldInMemory; }
    // Why the last backup could not be written.
    const std::string& getBackupError() const { return backupError; }
    // Asks for a continue backup at the next check (a touchdown, a new report
    // item); the driver writes it.
    void requestBackup() { backupRequested = true; }
    bool takeBackupRequest();
    const char* getCheckCode() const { return checkCode; }

    // Sends the finished report, then the queued positions, the events and
    // the awards call; a report that cannot be sent is backed up instead.
    // True once the service holds the report; whatever of the rest it did
    // not acknowledge stays in the store for the next login or upload.
    bool uploadReport(bool manualUpload);
    // The logs of an uploaded report, from the store, after a login; true
    // when nothing is left to send.
    bool sendPendingLogsFromStore();
    // The backup for the backup page's upload: the one on disk (its code
    // checked) or the one held in memory.
    bool loadForUpload();

    // The live tracker and the position log of the flight.
    bool sendTracker() { return tracker.sendTracker(); }
    bool recordPosition() { return tracker.recordPosition(); }
    CPositionTracker& getPositionTracker() { return tracker; }

private:
    // What a stored report is loaded into, as the live flight holds it.
    struct LiveFlight;
    std::unique_ptr<LiveFlight> keepLiveFlight() const;
    void putBackLiveFlight(const LiveFlight& live);
    static bool validItem(int item) { return item >= 0 && item < ReportItemCount; }
    void writeBackupRecords();
    bool commitBackup(bool forContinue);
    bool readBackupRecords();
    bool loadStoredFlight(bool finished);
    bool restoreHeld();
    bool sendReport(bool manualUpload);
    void keepForLater();
    bool sendPendingLogs();
    void dropUnattributedEvents();

    CFlightSimulatorInterface* simulator;
    struct_penalty penalties[ReportItemCount];
    CClientInterface& client;
    CEventLog* eventLog;
    CDebugLog log;
    bool trackerEnabled = false;
    bool reportUploaded = false;
    bool heldInMemory = false;
    bool backupRequested = false;
    bool backupFailing = false;
    std::string backupError;
    std::string heldImage; // the report store's text of a report held in memory
    char checkCode[4] = {};
    CPositionTracker tracker;
};

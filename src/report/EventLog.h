// The flight's event log: time-stamped records, throttled to ten per minute
// of flight time, kept in the report store with the report and sent to the
// service after it. The blackbox and the report items both write to it.
#pragma once

#include "core/DebugLog.h"
#include "server/EventRecord.h"

#include <cstdint>
#include <string>
#include <vector>

class CClientInterface;
class CFlightSimulatorObjects;

class CEventLog {
public:
    CEventLog(CFlightSimulatorObjects* snapshot, CClientInterface& booking);

    void setSnapshot(CFlightSimulatorObjects* snapshot) { this->snapshot = snapshot; }

    // Appends a record for a non-empty text at the snapshot's flight time;
    // false when the throttle refused it.
    bool logEvent(const std::string& text);
    // Before a new flight: no records, nothing sent, a fresh throttle.
    void clear();

    const std::vector<CEventRecord>& getEventLog() const { return eventLog; }
    // How many of the flight's events the service acknowledged; the next
    // one sent carries this number.
    std::int32_t getEventsSent() const { return eventsSent; }
    void restoreEventLog(std::vector<CEventRecord> log, std::int32_t sent)
    {
        eventLog = std::move(log);
        eventsSent = sent;
    }

    // "numeventlogs" and one "eventdata<i>" per record in the report store.
    // Loading replaces the log; false when the stored log is incomplete (what
    // was read is kept).
    bool saveToReport();
    bool loadFromReport();
    // Sends the oldest record; it leaves the log once the service
    // acknowledged it. False when the log is empty or the send failed.
    bool sendFirstEvent();
    // The oldest record leaves the log unsent (the service refused it); the
    // numbering goes on past it.
    void dropFirstEvent();

private:
    bool throttled(std::int32_t elapsed) const;
    void rememberTime(std::int32_t elapsed);

    CFlightSimulatorObjects* snapshot;
    CClientInterface& booking;
    std::vector<CEventRecord> eventLog;
    std::int32_t eventsSent = 0;
    std::vector<std::int32_t> recentTimes; // oldest first, at most 10
    bool blocking = false;                 // the throttle's line was written for this period
    CDebugLog log;
};

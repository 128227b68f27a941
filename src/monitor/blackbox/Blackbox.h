// The flight's event recorder: appends time-stamped records to the event log,
// throttled to ten records per minute of flight time, and plays the sounds
// events ask for. Rule-driven events are checked on every flying tick.
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/EventRecord.h"

#include <cstdint>
#include <string>
#include <vector>

class CSound;
class CFlightSimulatorObjects;
class CClientInterface;

class CBlackbox {
public:
    CBlackbox(CSound& sound, CFlightSimulatorObjects* snapshot, CClientInterface& booking);
    ~CBlackbox();

    void setSnapshot(CFlightSimulatorObjects* snapshot) { this->snapshot = snapshot; }

    // One driver step on the flying page.
    void check();
    // Appends a record for a non-empty text and plays a non-empty sound.
    void logEvent(const std::string& text, const std::string& sound);
    // Forgets the event log of the last flight.
    void resetAll();

    const std::vector<CEventRecord>& getEventLog() const { return eventLog; }

    // The event log in the report store: "numeventlogs" and one
    // "eventdata<i>" per record. Loading replaces the log; false when the
    // stored log is incomplete (what was read is kept).
    bool saveToReport();
    bool loadFromReport();
    // Sends every record to the service in order, then forgets them all.
    void uploadEventLog();

private:
    bool throttled(std::int32_t elapsed) const;
    void rememberTime(std::int32_t elapsed);

    CSound& sound;
    CFlightSimulatorObjects* snapshot;
    CClientInterface& booking;
    std::vector<CEventRecord> eventLog;
    std::vector<std::int32_t> recentTimes; // oldest first, at most 10
    CDebugLog log;
};

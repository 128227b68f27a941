// The flight's event recorder: loads its rules from "blackbox.xml" (or the
// built-in rules), checks them on every flying tick, appends time-stamped
// records to the event log, throttled to ten records per minute of flight
// time, and plays the sounds events ask for.
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/EventBase.h"
#include "monitor/blackbox/VariableTable.h"
#include "server/EventRecord.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAlertSound;
class CFlightSimulatorObjects;
class CClientInterface;

namespace pugi {
class xml_document;
struct xml_parse_result;
} // namespace pugi

class CBlackbox {
public:
    CBlackbox(CAlertSound& sound, CFlightSimulatorObjects* snapshot, CClientInterface& booking);
    ~CBlackbox();

    void setSnapshot(CFlightSimulatorObjects* snapshot) { this->snapshot = snapshot; }

    // Rules from the data folder, else the second rules folder, else the built-in rules.
    void loadRules();
    // Replaces the rules with those of a rules text; false when it does not parse.
    bool loadRulesFromText(const std::string& text);
    // Copies the snapshot's and the booking's values into the variable table.
    void updateVariables();
    // One driver step on the flying page: fires, logs and drops events.
    void check();
    // At the flight start: every event armed against the current values.
    void startFlight();
    // Appends a record for a non-empty text and plays a non-empty sound.
    void logEvent(const std::string& text, const std::string& sound);
    // Before a new flight: no records, fresh rules, a fresh throttle.
    void resetAll();

    const std::vector<CEventRecord>& getEventLog() const { return eventLog; }
    // How many of the flight's events the service acknowledged; the next
    // one sent carries this number.
    std::int32_t getEventsSent() const { return eventsSent; }
    void restoreEventLog(std::vector<CEventRecord> log, std::int32_t sent)
    {
        eventLog = std::move(log);
        eventsSent = sent;
    }
    // The rules in force, as a rules text (the flight recording keeps them).
    const std::string& getRulesText() const { return rulesText; }
    std::size_t getEventCount() const { return events.size(); }

    // The rules used when no rules file can be loaded.
    static const char* const kBuiltInRules;

    // The event log in the report store: "numeventlogs" and one
    // "eventdata<i>" per record. Loading replaces the log; false when the
    // stored log is incomplete (what was read is kept).
    bool saveToReport();
    bool loadFromReport();
    // Sends the oldest recorded event; it leaves the log once the service
    // acknowledged it. False when the log is empty or the send failed.
    bool sendFirstEvent();
    // The oldest event leaves the log unsent (the service refused it); the
    // numbering goes on past it.
    void dropFirstEvent();

private:
    bool throttled(std::int32_t elapsed) const;
    void rememberTime(std::int32_t elapsed);
    void buildEvents(const pugi::xml_document& document);
    // A bounded regular rules file; false otherwise, with why empty when the
    // file is missing, else the reason (with the parser's line).
    bool loadRulesFile(const std::string& path, pugi::xml_document& document, std::string& why);

    CAlertSound& sound;
    CFlightSimulatorObjects* snapshot;
    CClientInterface& booking;
    std::string resourceFolder;
    Blackbox::CVariableTable variables;
    std::vector<std::unique_ptr<Blackbox::CEventBase>> events;
    std::string rulesText;
    std::vector<CEventRecord> eventLog;
    std::int32_t eventsSent = 0;
    std::vector<std::int32_t> recentTimes; // oldest first, at most 10
    bool blocking = false;                 // the throttle's line was written for this period
    CDebugLog log;
};

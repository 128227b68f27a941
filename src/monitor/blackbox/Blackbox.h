// The flight's event recorder: takes its rules from the rules file (or the
// built-in rules), checks them on every flying tick, writes what fires to
// the flight's event log and plays the sounds events ask for.
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/EventBase.h"
#include "monitor/blackbox/VariableTable.h"
#include "report/EventLog.h"
#include "report/RulesFiles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAlertSound;
class CFlightSimulatorObjects;
class CClientInterface;

namespace pugi {
class xml_document;
} // namespace pugi

class CBlackbox {
public:
    CBlackbox(CAlertSound& sound, CFlightSimulatorObjects* snapshot, CClientInterface& booking);
    ~CBlackbox();

    void setSnapshot(CFlightSimulatorObjects* snapshot)
    {
        this->snapshot = snapshot;
        flightEvents.setSnapshot(snapshot);
    }

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

    CEventLog& getFlightEvents() { return flightEvents; }
    const std::vector<CEventRecord>& getEventLog() const { return flightEvents.getEventLog(); }
    // The rules in force, as a rules text (the flight recording keeps them).
    const std::string& getRulesText() const { return rulesText; }
    std::size_t getEventCount() const { return events.size(); }

    // The rules used when no rules file can be loaded.
    static const char* const kBuiltInRules;

private:
    void buildEvents(const pugi::xml_document& document);

    CAlertSound& sound;
    CFlightSimulatorObjects* snapshot;
    CClientInterface& booking;
    CRulesFiles rulesFiles;
    Blackbox::CVariableTable variables;
    std::vector<std::unique_ptr<Blackbox::CEventBase>> events;
    std::string rulesText;
    CEventLog flightEvents;
    CDebugLog log;
};

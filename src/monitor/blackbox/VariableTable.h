// The flight variables a rule can name, refreshed from the snapshot and the
// booking before every check. Unknown names read as "ias".
#pragma once

#include "monitor/blackbox/DoubleValue.h"
#include "monitor/blackbox/StringValue.h"

#include <string>

class CFlightSimulatorObjects;
class CClientInterface;

namespace Blackbox {

class CVariableTable {
public:
    struct Entry {
        const char* name;
        CValueBase* value;
    };

    CVariableTable();
    CVariableTable(const CVariableTable&) = delete;
    CVariableTable& operator=(const CVariableTable&) = delete;

    // A null snapshot leaves the numbers as they were.
    void update(const CFlightSimulatorObjects* snapshot, const CClientInterface& booking);
    // name already lower-cased.
    Entry find(const std::string& name);
    // The phase code the last update saw.
    int phase() const { return static_cast<int>(flightState.get()); }

private:
    CDoubleValue ias, landingLights, gear, flaps, altitudeStd, altitudeAgl, vs, groundSpeed, flightState;
    CStringValue aircraftType, destination, closestAirport;
};

} // namespace Blackbox

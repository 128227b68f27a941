// The aircraft model as FlightGear's property tree: the values the stand-in's
// property server answers get with, in FlightGear's units and spelling, and
// the sets it acts on. Tanks follow the client's reading of FlightGear's
// numbering: one tank is the centre, more run left main, right main, centre,
// aux pair, tip pair, centre 2.
#pragma once

#include "AircraftModel.h"
#include "SimRecord.h"

#include <string>

class CFlightGearPropertySpace {
public:
    CFlightGearPropertySpace(CAircraftModel& model, CSimRecord& record);

    // The value of a property path as FlightGear writes it; false for a node it does not have.
    bool get(const std::string& path, std::string& value) const;
    // False for a node it does not have (FlightGear would make one; the stand-in records it).
    bool set(const std::string& path, const std::string& value);

    static constexpr const char* kVersion = "2020.3.16";

private:
    int tankCount() const;
    int slotOf(int tank) const;
    bool getIndexed(const std::string& path, std::string& value) const;

    CAircraftModel& model;
    CSimRecord& record;
};

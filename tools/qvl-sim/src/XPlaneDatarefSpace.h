// The aircraft model as X-Plane's datarefs: the values the stand-in answers
// subscriptions with, in X-Plane's own units, and the dataref writes and
// commands it acts on. Tanks follow X-Plane's numbering as the client reads it:
// one tank is the centre, two the mains, more run left main, centre, right
// main, aux pair, tip pair, centre 2 and 3 (the external tanks have no place).
#pragma once

#include "AircraftModel.h"
#include "SimRecord.h"

#include <string>

class CXPlaneDatarefSpace {
public:
    CXPlaneDatarefSpace(CAircraftModel& model, CSimRecord& record);

    // The value of a dataref ("name" or "name[i]"); false for one it does not know.
    bool read(const std::string& dataref, float& value) const;
    void write(const std::string& dataref, float value);
    void command(const std::string& name);
    // The number the beacon and sim/version/xplane_internal_version give.
    static constexpr int kVersionNumber = 120012;

private:
    int tankCount() const;
    int slotOf(int tank) const;
    double kgPerGallon() const;
    bool readTank(const std::string& array, int index, float& value) const;

    CAircraftModel& model;
    CSimRecord& record;
};

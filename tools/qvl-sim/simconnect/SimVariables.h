// The simulation variables the stand-in library serves, by name (any letter
// case, "NAME:index" for indexed ones), read from and written to the aircraft
// model in the units the client asks for them.
#pragma once

#include "AircraftModel.h"
#include "SimRecord.h"

#include <string>

class CSimVariables {
public:
    // True for a variable the stand-in knows.
    static bool known(const std::string& name);
    // The variable's value; 0 for an unknown one.
    static double read(const CAircraftModel& model, const std::string& name);
    // Sets a settable variable and records what the client did; false when it
    // is unknown or read-only.
    static bool write(CAircraftModel& model, CSimRecord& record, const std::string& name, double value);

private:
    struct Name {
        std::string base; // upper case, without the index
        int index = 0;    // 0 when there is none
    };
    static Name split(const std::string& name);
    static bool readScalar(const CAircraftModel& model, const std::string& base, double& out);
    static bool readIndexed(const CAircraftModel& model, const Name& n, double& out);
    static bool readFuel(const CAircraftModel& model, const std::string& base, double& out);
    static int tankSlot(const std::string& base, const char* suffix);
};

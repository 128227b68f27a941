// A flight save the client asked for, written as a small flight file. Shared
// by the module protocol and the stand-in client library.
#pragma once

#include "AircraftModel.h"
#include "SimRecord.h"

#include <string>

// Records the save (or its refusal) and, when `directory` is set, writes the
// file there. Only a plain file name is accepted from the client.
void writeFlightSave(const SimAircraftState& state, const std::string& directory, const std::string& name,
                     CSimRecord& record);

// The data definitions, client events and requests the adapter registers at
// every connect. The order of a definition's entries fixes where each value
// lies in the data block the library returns.
#pragma once

#include "sim/simconnect/SimConnectApi.h"

#include <cstddef>
#include <string>
#include <vector>

namespace SimConnectDefinitions {

using SimConnectApi::DWORD;

enum Define : DWORD {
    DefinePoll = 0,
    DefineTanks = 1,
    DefineTankLevels = 2,
    DefineClock = 3,
    DefineSlewAllowed = 4,
    DefineSimulationRate = 5,
    DefineEngineFire1 = 6, // 6..9 for engines 1..4
    DefineGearHandle = 10,
    DefineFlapsIndex = 11,
};

enum Request : DWORD { RequestPoll = 0, RequestTanks = 1, RequestClock = 2 };

enum Event : DWORD {
    EventSimRateIncrease = 0,
    EventSimRateDecrease = 1,
    EventText = 2,
    EventFrame = 3,
    EventCrashed = 4,
    EventPauseOn = 8,
};

struct Datum {
    DWORD define;
    std::string name;
    const char* units;
    SimConnectApi::DataType type;
};

constexpr int kPayloadStations = 64;
constexpr int kTankCount = 11;

// Every entry of every definition, in registration order.
const std::vector<Datum>& allData();
// Bytes of one data block of the definition.
std::size_t blockSize(DWORD define);
// The snapshot tank slot of each tank in the order the tank definition reads them.
extern const int kTankReadSlot[kTankCount];

} // namespace SimConnectDefinitions

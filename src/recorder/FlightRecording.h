// A flight recording as read back: what the booking and the options were at
// the flight start, and every record the flight left, in order. The file
// itself is a magic line followed by framed records (tag, payload length,
// payload), written as the flight goes; see FlightRecorder.cpp.
#pragma once

#include "recorder/SnapshotCodec.h"
#include "server/ClientInterface.h"
#include "server/Records.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Recording {

inline constexpr char kMagic[8] = {'Q', 'V', 'L', 'R', 'E', 'C', '1', '\n'};
inline constexpr const char* kExtension = ".qvlrec";

enum Tag : std::uint8_t {
    TagStart = 'H',   // booking, options, rules, airports (once, first)
    TagState = 'S',   // the whole snapshot at the first check
    TagDraw = 'D',    // one failure draw
    TagCheck = 'C',   // the driver starts a check
    TagRead = 'R',    // a simulator read and the fields it changed
    TagWrite = 'W',   // the client wrote to the simulator
    TagCommand = 'B', // the pilot pressed a control
    TagAirports = 'A',
    TagReport = 'F', // the finished report
};

// ReadUpdate: fields any other bridge call changed (a bridge that receives
// data while it is served, like the client library's dispatch).
enum ReadKind : std::uint8_t { ReadEverything = 1, ReadTanks = 2, ReadTimer = 3, ReadUpdate = 4 };

enum WriteKind : std::uint8_t {
    WriteTanks = 1,
    WriteSimulationRate = 2,
    WriteFailEngine = 3,
    WriteFailure = 4,
    WritePause = 5,
    WriteText = 6,
    WriteSlew = 7,
    WriteSave = 8,
    WriteLandingLights = 9,
};

using Airport = CAirport;

// The flight as it stood when the monitoring began.
struct Start {
    std::int64_t timeMs = 0;
    std::string interfaceName;
    std::int32_t simulatorVersion = 0;
    std::string simulatorIdent;
    std::string osName; // the report names the system it was flown on
    std::int32_t fuelMethod = 0;
    std::int32_t weightUnit = 0;
    bool penaltiesOff = false;
    bool trackerOn = false;
    bool fsMessages = false;
    float lastFuelPrice = 0.0f;
    std::string closestAirport;
    double closestAirportDistance = 0.0;
    std::string rules;
    Tervix_Pilots pilot{};
    Tervix_Routes route{};
    Tervix_Logs flightLog{};
    Tervix_Aircrafts aircraft{};
    Tervix_VirtualAirlines airline{};
    Tervix_Reports report{};
    AircraftTypeData types{};
    std::vector<Airport> airports;
};

struct Entry {
    Tag tag = TagCheck;
    std::int64_t timeMs = 0;
    std::uint8_t kind = 0;   // ReadKind or WriteKind
    std::int64_t result = 0; // a read's answer, a write's success
    std::vector<std::int64_t> arguments;
    std::vector<FieldChange> changes; // reads and the state
    std::string text;                 // a written text, the divert airport, the comment
    std::vector<Airport> airports;
    std::shared_ptr<const Tervix_Reports> report; // the finished report only
};

struct File {
    Start start;
    std::vector<Entry> entries;
    bool truncated = false; // the file ends inside a record
    std::size_t bytes = 0;
};

} // namespace Recording

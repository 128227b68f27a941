// A scenario file of the simulator stand-in: the aircraft, where and when the
// flight starts, the simulator's identity, and the timed list of actions and
// injections the pilot-robot carries out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SimTank {
    double capacityGallons = 0.0;
    double fill = 0.0; // 0..1
};

struct SimAircraftType {
    int engines = 2;
    double fuelFlowGallonsPerHour = 300.0; // per running engine
    double fuelWeightLbsPerGallon = 6.7;
    double emptyWeightKg = 40000.0;
    double maxGrossWeightKg = 70000.0;
    bool retractableGear = true;
    SimTank tanks[11];
    std::vector<double> payloadStationsKg;
};

struct SimAirportPoint {
    std::string code;
    double lat = 0.0;
    double lon = 0.0;
    double elevationFt = 0.0;
    bool present = false;
};

struct SimIdentity {
    std::uint32_t fsuipcVersion = 0x70100000;
    std::uint16_t version = 8;
    std::uint8_t subVersion = 0;
    bool versionMagic = true;       // the 0xFADE half of the version word
    bool flightTimeCounter = false; // serve a running flight time at 0x04A8
};

// One step of the scenario. Which fields matter depends on `type`.
struct SimAction {
    enum class Type {
        Wait,
        ParkingBrake,
        Engines,
        Taxi,
        Turn,
        Takeoff,
        Climb,
        Cruise,
        Descend,
        Land,
        Gear,
        Flaps,
        Lights,
        Surface,
        SlewJump,
        AltitudeJump,
        Refuel,
        SimRate,
        Pause,
        Crash,
        Disconnect,
        Slew,
    };
    Type type = Type::Wait;
    double seconds = 0.0;
    double speedKts = 0.0;
    double rateFpm = 0.0;
    double altitudeFt = 0.0;
    double headingDeg = 0.0;
    double value = 0.0;
    double lat = 0.0;
    double lon = 0.0;
    double untilNm = -1.0; // cruise: stop this close to the arrival
    bool on = false;
    int lightBits = 0;
};

struct SimScenario {
    std::string name;
    SimIdentity identity;
    SimAircraftType aircraft;
    SimAirportPoint start;
    SimAirportPoint arrival;
    double startHeadingDeg = 0.0;
    std::int64_t startUtcSeconds = 0; // seconds since 1970
    int localOffsetMinutes = 0;
    int surfaceType = 4;
    std::vector<SimAction> actions;

    // Parses a scenario; false with a reason in `error` for bad JSON or values.
    static bool parse(const std::string& json, SimScenario& out, std::string& error);
    static bool load(const std::string& path, SimScenario& out, std::string& error);
};

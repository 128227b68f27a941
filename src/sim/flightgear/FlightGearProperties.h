// The FlightGear properties the bridge reads, one batched get per poll, and
// their conversion into the snapshot's units. The table is the one place that
// names them; docs/architecture.md lists it field by field.
#pragma once

#include "sim/FlightSimulatorObjects.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace FlightGearProperties {

// Tanks, payload stations and engines looked for at connect.
constexpr int kMaxTanks = 8;
constexpr int kMaxStations = 12;
constexpr int kMaxEngines = 8;
// Landing gear units whose weight-on-wheels counts as on the ground.
constexpr int kGearUnits = 3;

enum Field : int {
    Latitude,
    Longitude,
    MagneticHeading,
    Altitude,
    HeightAboveGround,
    GroundElevation,
    VerticalSpeed,
    IndicatedAirspeed,
    GroundSpeed,
    WeightOnWheels0,
    WeightOnWheels1,
    WeightOnWheels2,
    ParkingBrake,
    GearDown,
    Flaps,
    LandingLights,
    NavigationLights,
    BeaconLights,
    StrobeLights,
    EmptyWeight,
    MaxWeight,
    SpeedUp,
    Frozen,
    ReplayActive,
    Crashed,
    ZuluSeconds,
    LocalSeconds,
    Count,
};

struct Property {
    const char* path;
    const char* unit;
    // A poll without a required value is no snapshot; an optional one that is
    // missing leaves its snapshot field as it was.
    bool required;
};

Property property(int field);

using Values = std::vector<std::optional<double>>;

// What connect learns of the aircraft: which tanks, stations and engines it has.
struct Layout {
    // FlightGear's numbers of the tanks in use (an aircraft may carry tanks for
    // another variant, not selected, which no fuel may go into).
    std::vector<int> tanks;
    int stations = 0;
    // Engines fitted. An aircraft that names its active engine carries its
    // engine variants as engines of their own (the c172p's 160 and 180 hp),
    // one fitted at a time: it counts one, FlightGear's `activeEngine`.
    int engines = 0;
    int activeEngine = 0;
    bool retractableGear = false;
};

// The per-poll request: the fields, then each tank's level, capacity and
// density, then each payload station's weight.
std::vector<std::string> pollPaths(const Layout& layout);
// The connect request: which of the numbered nodes exist, and the names.
std::vector<std::string> layoutPaths();
// The layout from the answers to layoutPaths; the aircraft and version names beside.
Layout layoutFrom(const std::vector<std::optional<std::string>>& answers, std::string& aircraft,
                  std::string& version);

// FlightGear tank `number`'s level in pounds, where it is also written.
std::string tankLevelPath(int number);
// The snapshot slot of the `tank`th tank in use of `count`: one tank is the
// centre, more run left main, right main, centre, left and right aux, left
// and right tip, centre 2.
int tankSlot(int tank, int count);

// The polled fields from the answers to pollPaths; false, with the missing
// required properties named in `missing` and the snapshot untouched, when a
// required value is absent.
bool applyPoll(const Values& values, const Layout& layout, CFlightSimulatorObjects& s, bool keepLandingLights,
               std::vector<std::string>& missing);
// Capacities and contents of the tanks from the same answers; returns the
// fuel on board in kg, truncated, or -1 when a tank's value is missing.
std::int32_t applyTanks(const Values& values, const Layout& layout, CFlightSimulatorObjects& s);

constexpr double kKgPerPound = 0.45359237;

} // namespace FlightGearProperties

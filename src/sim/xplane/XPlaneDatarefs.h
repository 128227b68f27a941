// The datarefs the X-Plane bridge subscribes to, one RREF index each, and
// their conversion into the snapshot's units. The table is the one place
// that names them; docs/architecture.md lists it field by field.
#pragma once

#include "sim/FlightSimulatorObjects.h"

#include <cstdint>

namespace XPlaneDatarefs {

constexpr int kXPlaneTanks = 9;

enum Field : int {
    Latitude,
    Longitude,
    MagneticHeading,
    PressureAltitude,
    HeightAboveGround,
    Elevation,
    VerticalSpeed,
    IndicatedAirspeed,
    GroundSpeed,
    OnGround,
    ParkingBrake,
    GearHandleDown,
    GearRetractable,
    FlapsHandle,
    LandingLights,
    NavigationLights,
    BeaconLights,
    StrobeLights,
    EngineCount,
    EmptyWeight,
    MaxWeight,
    Payload,
    SimulationSpeed,
    Paused,
    ReplayMode,
    Crashed,
    ZuluSeconds,
    LocalSeconds,
    InternalVersion,
    FuelCapacity,
    TankCount,
    TankRatio0,
    TankFuel0 = TankRatio0 + kXPlaneTanks,
    Count = TankFuel0 + kXPlaneTanks,
};

struct Dataref {
    const char* name;
    const char* unit;
};

// The dataref of a field (array elements carry their "[i]").
Dataref dataref(int field);

// Jet fuel as X-Plane weighs it (6.7 lb per US gallon), in kg: the snapshot
// keeps gallons beside the kg, and X-Plane reports only kg.
constexpr double kKgPerGallon = 6.7 * 0.45359237;

// The snapshot slot of X-Plane tank `tank` of an aircraft with `count` tanks:
// one tank is the centre, two are the mains, three and more run left main,
// centre, right main, left and right aux, left and right tip, centre 2 and 3.
int tankSlot(int tank, int count);

// The polled fields of the snapshot from a complete set of values. The
// landing lights stay the pilot's while `keepLandingLights` is set.
void applyPoll(const float (&values)[Count], CFlightSimulatorObjects& s, bool keepLandingLights);
// Capacities and contents of the tanks; returns the fuel on board in kg, truncated.
std::int32_t applyTanks(const float (&values)[Count], CFlightSimulatorObjects& s);

} // namespace XPlaneDatarefs

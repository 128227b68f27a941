// The simulation variables the stand-in library serves, by name (any letter
// case, "NAME:index" for indexed ones), read from and written to the aircraft
// model in the units the client asks for them. Names are resolved once, when
// the client adds them to a data definition.
#pragma once

#include "AircraftModel.h"
#include "SimRecord.h"

#include <string>

class CSimVariables {
public:
    enum class Var {
        Unknown,
        Latitude,
        Longitude,
        HeadingMagnetic,
        LandingLight,
        SimulationRate,
        RadioHeight,
        PressureAltitude,
        GroundAltitude,
        VerticalSpeed,
        CrashFlag,
        ParkingBrake,
        IndicatedAirspeed,
        GroundVelocity,
        MaxGrossWeight,
        EmptyWeight,
        OnGround,
        Engines,
        SlewActive,
        SlewAllowed,
        GearHandle,
        GearRetractable,
        LightStates,
        SurfaceType,
        PayloadStationCount,
        PayloadStationWeight, // index: station 1..n
        FlapsPercent,
        FlapsIndex,
        ZuluTime,
        LocalTime,
        Pause,
        FuelWeightPerGallon,
        FuelTotalQuantity,
        TankLevel,    // index: the model's tank slot
        TankCapacity, // index: the model's tank slot
        EngineOnFire, // index: engine 1..4
    };
    struct Ref {
        Var var = Var::Unknown;
        int index = 0;
    };

    static Ref resolve(const std::string& name);
    // The variable's value; 0 for an unknown one.
    static double read(const CAircraftModel& model, const Ref& ref);
    // Sets a settable variable and records what the client did; false when it
    // is unknown or read-only.
    static bool write(CAircraftModel& model, CSimRecord& record, const Ref& ref, double value);

private:
    static double readFuel(const CAircraftModel& model, const Ref& ref);
};

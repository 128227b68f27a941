// The two stored snapshot blocks of a backed-up flight, "AircraftData" and
// "TankData", and their copies from and to the snapshot.
#pragma once

#include <cstddef>
#include <cstdint>

class CFlightSimulatorObjects;

// The aircraft state a resumed flight needs, stored as "AircraftData". Only
// this client reads it back, so the layout is ours; it is spelled out field by
// field so that it does not drift when the snapshot class grows.
struct AircraftData {
    std::int32_t lFlightPhase;
    std::int32_t lCrashed;
    double dLatitude;
    double dLongitude;
    double dHeading;
    double dAltitude;
    double dLastAltitude;
    std::int32_t lRadarAltitude;
    std::int32_t lGroundAltitude;
    std::int32_t lIndicatedAirspeed;
    std::int32_t lGroundSpeed;
    std::int32_t lVerticalSpeed;
    std::int32_t lTouchdownVerticalSpeed;
    std::int32_t lLandingVerticalSpeed;
    std::int32_t lFuelAtStart;
    std::int32_t lFuelAtTakeoff;
    std::int32_t lFuelAtLanding;
    std::int32_t lFuelOnBoard;
    std::int32_t lPassengers;
    std::int32_t lCargo;
    std::int32_t lPackages;
    std::int32_t lExtraFuel;
    std::int32_t lExtraFuelSteps;
    std::int32_t lFlightTimeAtStart;
    std::int32_t lMaxGrossWeight;
    std::int32_t lEmptyWeight;
    std::int32_t lGearChangeCount;
    std::int32_t lAbove500Reported;
    std::int32_t lLeftStartArea;
    double dFlightTime;
    double dStartLatitude;
    double dStartLongitude;
    double dTakeoffTime;
    double dLandingTime;
    double dLastLatitude;
    double dLastLongitude;
    double dLastFlightTime;
    float fSimulationRate;
    std::int16_t nEngines;
    std::uint8_t bEmergency;
    std::uint8_t bOnGround;
    std::uint8_t bParkingBrake;
    std::uint8_t bGearDown;
    std::uint8_t bLandingLights;
    std::uint8_t bLightsOn;
    float fFlaps;
    std::int32_t lSurfaceType;
    std::int32_t lGearRetractable;
    char szClosestAirport[35];
    char szZuluTime[5];
    char szLocalTime[5];
    char reserved269[3];
    std::int32_t nMinFuel;
    std::int32_t nRefuelCount;
    double dPayload;
    char reserved288[48];
    double dClosestArrivalDistance;

    // A zero-filled block holding the snapshot's values.
    static AircraftData fromSnapshot(const CFlightSimulatorObjects& s);
    // Puts the stored values back; fields not stored are left alone.
    void toSnapshot(CFlightSimulatorObjects& s) const;
};
static_assert(sizeof(AircraftData) == 344);
static_assert(offsetof(AircraftData, lFlightPhase) == 0);
static_assert(offsetof(AircraftData, lCrashed) == 4);
static_assert(offsetof(AircraftData, dLatitude) == 8);
static_assert(offsetof(AircraftData, dLongitude) == 16);
static_assert(offsetof(AircraftData, dHeading) == 24);
static_assert(offsetof(AircraftData, dAltitude) == 32);
static_assert(offsetof(AircraftData, dLastAltitude) == 40);
static_assert(offsetof(AircraftData, lRadarAltitude) == 48);
static_assert(offsetof(AircraftData, lGroundSpeed) == 60);
static_assert(offsetof(AircraftData, lFuelAtStart) == 76);
static_assert(offsetof(AircraftData, lPassengers) == 92);
static_assert(offsetof(AircraftData, lMaxGrossWeight) == 116);
static_assert(offsetof(AircraftData, lEmptyWeight) == 120);
static_assert(offsetof(AircraftData, dFlightTime) == 136);
static_assert(offsetof(AircraftData, dLastFlightTime) == 192);
static_assert(offsetof(AircraftData, fSimulationRate) == 200);
static_assert(offsetof(AircraftData, nEngines) == 204);
static_assert(offsetof(AircraftData, bEmergency) == 206);
static_assert(offsetof(AircraftData, fFlaps) == 212);
static_assert(offsetof(AircraftData, szClosestAirport) == 224);
static_assert(offsetof(AircraftData, szZuluTime) == 259);
static_assert(offsetof(AircraftData, szLocalTime) == 264);
static_assert(offsetof(AircraftData, nMinFuel) == 272);
static_assert(offsetof(AircraftData, dPayload) == 280);
static_assert(offsetof(AircraftData, dClosestArrivalDistance) == 336);

// The fuel levels, stored as "TankData": eleven tanks (kg) and the fuel
// outside them.
struct TankData {
    float fTankLevel[11];
    float fFuelOutsideTanks;

    static TankData fromSnapshot(const CFlightSimulatorObjects& s);
    void toSnapshot(CFlightSimulatorObjects& s) const;
    // Sum of the twelve values, +0.5, truncated.
    std::int32_t totalRounded() const;
};
static_assert(sizeof(TankData) == 48);
static_assert(offsetof(TankData, fFuelOutsideTanks) == 44);

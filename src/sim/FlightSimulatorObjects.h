// The aircraft snapshot: the values of the last simulator poll plus the flight
// figures that the phase machine, the cheat detector, the driver and the load
// sheet keep beside them. Plain data; every field is public.
#pragma once

#include <cstdint>

// The last three polled vertical speeds, oldest overwritten first.
struct CVerticalSpeedRing {
    std::int32_t values[3] = {0, 0, 0};
    std::int32_t count = 0; // 0..3
    std::int32_t next = 0;  // slot written by the next push

    void push(std::int32_t v);
    // The stored values, oldest first; returns how many.
    int oldestFirst(std::int32_t out[3]) const;
    void clear() { *this = CVerticalSpeedRing{}; }
};

class CFlightSimulatorObjects {
public:
    static constexpr int kTankCount = 11;
    enum Tank {
        TankCentre = 0, TankLeftMain, TankRightMain, TankLeftAux, TankRightAux, TankLeftTip,
        TankRightTip, TankCentre2, TankCentre3, TankExternal1, TankExternal2
    };

    // --- polled by the adapters (and the fields of the stored aircraft block) ---
    std::int32_t lFlightPhase = 0;
    double dLatitude = 0.0;
    double dLongitude = 0.0;
    double dHeading = 0.0;
    bool bParkingBrake = false;
    bool bOnGround = false;
    double dAltitude = 0.0;
    double dLastAltitude = 0.0;
    std::int32_t lRadarAltitude = 0;
    std::int32_t lGroundAltitude = 0;
    std::int32_t lIndicatedAirspeed = 0;
    std::int32_t lGroundSpeed = 0;
    std::int32_t lVerticalSpeed = 0;
    std::int32_t lPreviousVerticalSpeed = 0;
    std::int32_t lCrashed = 0;
    bool bLandingLights = false;
    bool bGearDown = false;
    std::int32_t lGearRetractable = 0;
    float fFlaps = 0.0f;
    bool bLightsOn = false;
    std::int32_t lFuelAtStart = 0;
    float fSimulationRate = 0.0f;
    std::int32_t lExtraFuel = 0;
    std::int32_t lExtraFuelSteps = 0;
    char szClosestAirport[35] = {};
    char szZuluTime[5] = {};
    char szLocalTime[5] = {};
    double dFlightTime = 0.0;
    std::int32_t lFlightTimeAtStart = 0;
    std::int32_t lPaused = 0;
    std::int32_t lMaxGrossWeight = 0;
    std::int32_t lEmptyWeight = 0;
    std::int16_t nEngines = 0;
    double dPayload = 0.0;
    std::int32_t lTouchdownVerticalSpeed = 0;
    std::int32_t lSurfaceType = 0;
    float fTankCapacityGallons[kTankCount] = {};
    float fTankCapacity[kTankCount] = {};
    float fTankFill[kTankCount] = {};
    float fTankLevel[kTankCount] = {};
    float fFuelOutsideTanks = 0.0f;
    CVerticalSpeedRing recentVerticalSpeeds;

    // --- kept by the client driver ---
    std::int32_t lGearChangeCount = 0;

    // --- kept by the phase machine ---
    std::int32_t lFuelAtLanding = 0;
    std::int32_t lFuelAtTakeoff = 0;
    std::int32_t lLandingVerticalSpeed = 0;
    std::int32_t lAbove500Reported = 0;
    std::int32_t lLeftStartArea = 0;
    double dStartLatitude = 0.0;
    double dStartLongitude = 0.0;
    double dTakeoffTime = 0.0;
    double dLandingTime = 0.0;
    double dClosestArrivalDistance = 0.0;

    // --- kept by the flight actions (load sheet, diversion) ---
    std::uint8_t bEmergency = 0;
    std::uint8_t bDiverted = 0; // a declared diversion or a legal technical stop
    std::int32_t lPassengers = 0;
    std::int32_t lCargo = 0;
    std::int32_t lPackages = 0;
    std::int32_t lFuelRequested = 0; // fuel total the pilot asked for, kg
    std::int32_t lFuelReadBack = 0;  // fuel total read back after fuelling, kg

    // --- kept by the cheat detector ---
    double dLastLatitude = 0.0;
    double dLastLongitude = 0.0;
    std::int32_t lFuelOnBoard = 0;
    std::int32_t nMinFuel = 0;
    std::int32_t nRefuelCount = 0;
    double dLastFlightTime = 0.0;
    float fKeptTankLevel[kTankCount + 1] = {};

    // Sum of the tank levels and the fuel outside the tanks, +0.5, truncated.
    std::int32_t fuelOnBoardRounded() const;
    // Sum of the tank capacities in kg.
    float totalTankCapacity() const;
    // Saves the eleven tank levels and the fuel outside the tanks as the
    // accepted fuel, and puts the saved values back.
    void keepTankLevels();
    void restoreKeptTankLevels();
    // Rounded sum of the kept levels.
    std::int32_t keptFuelRounded() const;
    // Every field back to its initial value (a new flight).
    void resetSnapshot() { *this = CFlightSimulatorObjects{}; }
};

// Conversions between the snapshot and the two stored snapshot blocks.
#include "server/Records.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "sim/FlightSimulatorObjects.h"

#include <cstring>

namespace {

void copyPosition(AircraftData& d, const CFlightSimulatorObjects& s)
{
    d.dLatitude = s.dLatitude;
    d.dLongitude = s.dLongitude;
    d.dHeading = s.dHeading;
    d.dAltitude = s.dAltitude;
    d.dLastAltitude = s.dLastAltitude;
    d.lRadarAltitude = s.lRadarAltitude;
    d.lGroundAltitude = s.lGroundAltitude;
    d.lIndicatedAirspeed = s.lIndicatedAirspeed;
    d.lGroundSpeed = s.lGroundSpeed;
    d.lVerticalSpeed = s.lVerticalSpeed;
    d.lTouchdownVerticalSpeed = s.lTouchdownVerticalSpeed;
    d.lLandingVerticalSpeed = s.lLandingVerticalSpeed;
}

void copyPosition(CFlightSimulatorObjects& s, const AircraftData& d)
{
    s.dLatitude = d.dLatitude;
    s.dLongitude = d.dLongitude;
    s.dHeading = d.dHeading;
    s.dAltitude = d.dAltitude;
    s.dLastAltitude = d.dLastAltitude;
    s.lRadarAltitude = d.lRadarAltitude;
    s.lGroundAltitude = d.lGroundAltitude;
    s.lIndicatedAirspeed = d.lIndicatedAirspeed;
    s.lGroundSpeed = d.lGroundSpeed;
    s.lVerticalSpeed = d.lVerticalSpeed;
    s.lTouchdownVerticalSpeed = d.lTouchdownVerticalSpeed;
    s.lLandingVerticalSpeed = d.lLandingVerticalSpeed;
}

void copyLoad(AircraftData& d, const CFlightSimulatorObjects& s)
{
    d.lFuelAtStart = s.lFuelAtStart;
    d.lFuelAtTakeoff = s.lFuelAtTakeoff;
    d.lFuelAtLanding = s.lFuelAtLanding;
    d.lFuelOnBoard = s.lFuelOnBoard;
    d.lPassengers = s.lPassengers;
    d.lCargo = s.lCargo;
    d.lPackages = s.lPackages;
    d.lExtraFuel = s.lExtraFuel;
    d.lExtraFuelSteps = s.lExtraFuelSteps;
    d.lMaxGrossWeight = s.lMaxGrossWeight;
    d.lEmptyWeight = s.lEmptyWeight;
    d.nEngines = s.nEngines;
    d.dPayload = s.dPayload;
    d.nMinFuel = s.nMinFuel;
    d.nRefuelCount = s.nRefuelCount;
}

void copyLoad(CFlightSimulatorObjects& s, const AircraftData& d)
{
    s.lFuelAtStart = d.lFuelAtStart;
    s.lFuelAtTakeoff = d.lFuelAtTakeoff;
    s.lFuelAtLanding = d.lFuelAtLanding;
    s.lFuelOnBoard = d.lFuelOnBoard;
    s.lPassengers = d.lPassengers;
    s.lCargo = d.lCargo;
    s.lPackages = d.lPackages;
    s.lExtraFuel = d.lExtraFuel;
    s.lExtraFuelSteps = d.lExtraFuelSteps;
    s.lMaxGrossWeight = d.lMaxGrossWeight;
    s.lEmptyWeight = d.lEmptyWeight;
    s.nEngines = d.nEngines;
    s.dPayload = d.dPayload;
    s.nMinFuel = d.nMinFuel;
    s.nRefuelCount = d.nRefuelCount;
}

void copyTimes(AircraftData& d, const CFlightSimulatorObjects& s)
{
    d.lFlightTimeAtStart = s.lFlightTimeAtStart;
    d.dFlightTime = s.dFlightTime;
    d.dStartLatitude = s.dStartLatitude;
    d.dStartLongitude = s.dStartLongitude;
    d.dTakeoffTime = s.dTakeoffTime;
    d.dLandingTime = s.dLandingTime;
    d.dLastLatitude = s.dLastLatitude;
    d.dLastLongitude = s.dLastLongitude;
    d.dLastFlightTime = s.dLastFlightTime;
    d.dClosestArrivalDistance = s.dClosestArrivalDistance;
    copyText(d.szZuluTime, fieldText(s.szZuluTime));
    copyText(d.szLocalTime, fieldText(s.szLocalTime));
}

void copyTimes(CFlightSimulatorObjects& s, const AircraftData& d)
{
    s.lFlightTimeAtStart = d.lFlightTimeAtStart;
    s.dFlightTime = d.dFlightTime;
    s.dStartLatitude = d.dStartLatitude;
    s.dStartLongitude = d.dStartLongitude;
    s.dTakeoffTime = d.dTakeoffTime;
    s.dLandingTime = d.dLandingTime;
    s.dLastLatitude = d.dLastLatitude;
    s.dLastLongitude = d.dLastLongitude;
    s.dLastFlightTime = d.dLastFlightTime;
    s.dClosestArrivalDistance = d.dClosestArrivalDistance;
    copyText(s.szZuluTime, fieldText(d.szZuluTime));
    copyText(s.szLocalTime, fieldText(d.szLocalTime));
}

void copyState(AircraftData& d, const CFlightSimulatorObjects& s)
{
    d.lFlightPhase = s.lFlightPhase;
    d.lCrashed = s.lCrashed;
    d.lGearChangeCount = s.lGearChangeCount;
    d.lAbove500Reported = s.lAbove500Reported;
    d.lLeftStartArea = s.lLeftStartArea;
    d.fSimulationRate = s.fSimulationRate;
    d.bEmergency = s.bEmergency;
    d.bOnGround = s.bOnGround ? 1 : 0;
    d.bParkingBrake = s.bParkingBrake ? 1 : 0;
    d.bGearDown = s.bGearDown ? 1 : 0;
    d.bLandingLights = s.bLandingLights ? 1 : 0;
    d.bLightsOn = s.bLightsOn ? 1 : 0;
    d.fFlaps = s.fFlaps;
    d.lSurfaceType = s.lSurfaceType;
    d.lGearRetractable = s.lGearRetractable;
    copyText(d.szClosestAirport, fieldText(s.szClosestAirport));
}

void copyState(CFlightSimulatorObjects& s, const AircraftData& d)
{
    s.lFlightPhase = d.lFlightPhase;
    s.lCrashed = d.lCrashed;
    s.lGearChangeCount = d.lGearChangeCount;
    s.lAbove500Reported = d.lAbove500Reported;
    s.lLeftStartArea = d.lLeftStartArea;
    s.fSimulationRate = d.fSimulationRate;
    s.bEmergency = d.bEmergency;
    // Stored bytes other than 0/1 would be invalid bools; any non-zero is set.
    s.bOnGround = d.bOnGround != 0;
    s.bParkingBrake = d.bParkingBrake != 0;
    s.bGearDown = d.bGearDown != 0;
    s.bLandingLights = d.bLandingLights != 0;
    s.bLightsOn = d.bLightsOn != 0;
    s.fFlaps = d.fFlaps;
    s.lSurfaceType = d.lSurfaceType;
    s.lGearRetractable = d.lGearRetractable;
    copyText(s.szClosestAirport, fieldText(d.szClosestAirport));
}

} // namespace

AircraftData AircraftData::fromSnapshot(const CFlightSimulatorObjects& s)
{
    AircraftData d;
    std::memset(&d, 0, sizeof d);
    copyState(d, s);
    copyPosition(d, s);
    copyLoad(d, s);
    copyTimes(d, s);
    return d;
}

void AircraftData::toSnapshot(CFlightSimulatorObjects& s) const
{
    copyState(s, *this);
    copyPosition(s, *this);
    copyLoad(s, *this);
    copyTimes(s, *this);
}

TankData TankData::fromSnapshot(const CFlightSimulatorObjects& s)
{
    TankData t{};
    for (int i = 0; i < CFlightSimulatorObjects::kTankCount; ++i)
        t.fTankLevel[i] = s.fTankLevel[i];
    t.fFuelOutsideTanks = s.fFuelOutsideTanks;
    return t;
}

void TankData::toSnapshot(CFlightSimulatorObjects& s) const
{
    for (int i = 0; i < CFlightSimulatorObjects::kTankCount; ++i)
        s.fTankLevel[i] = fTankLevel[i];
    s.fFuelOutsideTanks = fFuelOutsideTanks;
}

std::int32_t TankData::totalRounded() const
{
    float sum = 0.0f;
    for (float level : fTankLevel)
        sum += level;
    sum += fFuelOutsideTanks;
    return truncToInt32(sum + 0.5f);
}

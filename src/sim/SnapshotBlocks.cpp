// Conversions between the snapshot and the two stored snapshot blocks.
#include "sim/SnapshotBlocks.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "sim/FlightSimulatorObjects.h"

#include <cstring>

namespace {

// The stored block and the snapshot name their fields alike, so each group is
// one copy that works in both directions.

// Flags are bytes in the block; stored bytes other than 0/1 would be invalid
// bools, so any non-zero byte sets the flag.
void copyFlag(bool& to, std::uint8_t from) { to = from != 0; }
void copyFlag(std::uint8_t& to, bool from) { to = from ? 1 : 0; }

template <class To, class From>
void copyPosition(To& t, const From& f)
{
    t.dLatitude = f.dLatitude;
    t.dLongitude = f.dLongitude;
    t.dHeading = f.dHeading;
    t.dAltitude = f.dAltitude;
    t.dLastAltitude = f.dLastAltitude;
    t.lRadarAltitude = f.lRadarAltitude;
    t.lGroundAltitude = f.lGroundAltitude;
    t.lIndicatedAirspeed = f.lIndicatedAirspeed;
    t.lGroundSpeed = f.lGroundSpeed;
    t.lVerticalSpeed = f.lVerticalSpeed;
    t.lTouchdownVerticalSpeed = f.lTouchdownVerticalSpeed;
    t.lLandingVerticalSpeed = f.lLandingVerticalSpeed;
}

template <class To, class From>
void copyLoad(To& t, const From& f)
{
    t.lFuelAtStart = f.lFuelAtStart;
    t.lFuelAtTakeoff = f.lFuelAtTakeoff;
    t.lFuelAtLanding = f.lFuelAtLanding;
    t.lFuelOnBoard = f.lFuelOnBoard;
    t.lPassengers = f.lPassengers;
    t.lCargo = f.lCargo;
    t.lPackages = f.lPackages;
    t.lExtraFuel = f.lExtraFuel;
    t.lExtraFuelSteps = f.lExtraFuelSteps;
    t.lMaxGrossWeight = f.lMaxGrossWeight;
    t.lEmptyWeight = f.lEmptyWeight;
    t.nEngines = f.nEngines;
    t.dPayload = f.dPayload;
    t.nMinFuel = f.nMinFuel;
    t.nRefuelCount = f.nRefuelCount;
}

template <class To, class From>
void copyTimes(To& t, const From& f)
{
    t.lFlightTimeAtStart = f.lFlightTimeAtStart;
    t.dFlightTime = f.dFlightTime;
    t.dStartLatitude = f.dStartLatitude;
    t.dStartLongitude = f.dStartLongitude;
    t.dTakeoffTime = f.dTakeoffTime;
    t.dLandingTime = f.dLandingTime;
    t.dLastLatitude = f.dLastLatitude;
    t.dLastLongitude = f.dLastLongitude;
    t.dLastFlightTime = f.dLastFlightTime;
    t.dClosestArrivalDistance = f.dClosestArrivalDistance;
    copyText(t.szZuluTime, fieldText(f.szZuluTime));
    copyText(t.szLocalTime, fieldText(f.szLocalTime));
}

template <class To, class From>
void copyState(To& t, const From& f)
{
    t.lFlightPhase = f.lFlightPhase;
    t.lCrashed = f.lCrashed;
    t.lGearChangeCount = f.lGearChangeCount;
    t.lAbove500Reported = f.lAbove500Reported;
    t.lLeftStartArea = f.lLeftStartArea;
    t.fSimulationRate = f.fSimulationRate;
    t.bEmergency = f.bEmergency;
    copyFlag(t.bOnGround, f.bOnGround);
    copyFlag(t.bParkingBrake, f.bParkingBrake);
    copyFlag(t.bGearDown, f.bGearDown);
    copyFlag(t.bLandingLights, f.bLandingLights);
    copyFlag(t.bLightsOn, f.bLightsOn);
    t.fFlaps = f.fFlaps;
    t.lSurfaceType = f.lSurfaceType;
    t.lGearRetractable = f.lGearRetractable;
    copyText(t.szClosestAirport, fieldText(f.szClosestAirport));
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

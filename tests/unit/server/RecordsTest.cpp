// The stored snapshot blocks carry what a resumed flight needs.
#include "server/Records.h"
#include "core/FixedText.h"
#include "sim/FlightSimulatorObjects.h"
#include "sim/SnapshotBlocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

CFlightSimulatorObjects flyingSnapshot()
{
    CFlightSimulatorObjects s;
    s.lFlightPhase = 6;
    s.lCrashed = 1;
    s.dLatitude = 47.25;
    s.dLongitude = -122.5;
    s.dHeading = 271.5;
    s.dAltitude = 35012.5;
    s.dLastAltitude = 34990;
    s.lRadarAltitude = 34000;
    s.lGroundAltitude = 1012;
    s.lIndicatedAirspeed = 280;
    s.lGroundSpeed = 460;
    s.lVerticalSpeed = -120;
    s.lTouchdownVerticalSpeed = -250;
    s.lLandingVerticalSpeed = -260;
    s.lFuelAtStart = 9000;
    s.lFuelAtTakeoff = 8800;
    s.lFuelAtLanding = 2100;
    s.lFuelOnBoard = 5100;
    s.lPassengers = 150;
    s.lCargo = 2500;
    s.lPackages = 120;
    s.lMaxGrossWeight = 78000;
    s.lEmptyWeight = 42000;
    s.nEngines = 2;
    s.dFlightTime = 5400.5;
    s.lFlightTimeAtStart = 12;
    s.dStartLatitude = 45.5;
    s.dStartLongitude = -120.25;
    s.dTakeoffTime = 900000;
    s.fSimulationRate = 2.0f;
    s.bEmergency = 1;
    s.bOnGround = true;
    s.bGearDown = true;
    s.nMinFuel = 5000;
    s.nRefuelCount = 3;
    s.dClosestArrivalDistance = 12.5;
    copyText(s.szClosestAirport, "KSEA");
    copyText(s.szZuluTime, "1432");
    copyText(s.szLocalTime, "0732");
    s.fTankLevel[0] = 1000.25f;
    s.fTankLevel[10] = 99.5f;
    s.fFuelOutsideTanks = 0.5f;
    return s;
}

TEST(RecordsTest, AircraftBlockRestoresWhatAResumedFlightNeeds)
{
    const CFlightSimulatorObjects before = flyingSnapshot();
    const AircraftData block = AircraftData::fromSnapshot(before);
    CFlightSimulatorObjects after;
    block.toSnapshot(after);
    // Phase, emergency, position, altitudes, speeds, times and load.
    EXPECT_EQ(after.lFlightPhase, 6);
    EXPECT_EQ(after.bEmergency, 1);
    EXPECT_EQ(after.dLongitude, -122.5);
    EXPECT_EQ(after.dHeading, 271.5);
    EXPECT_EQ(after.lRadarAltitude + after.lGroundAltitude, 35012);
    EXPECT_EQ(after.lGroundSpeed, 460);
    EXPECT_EQ(after.lLandingVerticalSpeed, -260);
    EXPECT_EQ(after.dFlightTime, 5400.5);
    EXPECT_EQ(after.dStartLatitude, 45.5);
    EXPECT_EQ(after.lFuelAtTakeoff, 8800);
    EXPECT_EQ(after.lPassengers, 150);
    EXPECT_EQ(after.lEmptyWeight, 42000);
    EXPECT_STREQ(after.szZuluTime, "1432");
    // Equal flights store equal text: the padding is always zero.
    const AircraftData again = AircraftData::fromSnapshot(before);
    EXPECT_EQ(std::memcmp(&block, &again, sizeof block), 0);
}

TEST(RecordsTest, CorruptBoolBytesReadAsSet)
{
    AircraftData block = AircraftData::fromSnapshot(flyingSnapshot());
    block.bParkingBrake = 0x7F;
    std::memset(block.szClosestAirport, 'X', sizeof block.szClosestAirport); // no terminator
    CFlightSimulatorObjects s;
    block.toSnapshot(s);
    EXPECT_TRUE(s.bParkingBrake);
    EXPECT_EQ(std::strlen(s.szClosestAirport), sizeof s.szClosestAirport - 1);
}

TEST(RecordsTest, TankBlockKeepsTheLevels)
{
    const TankData t = TankData::fromSnapshot(flyingSnapshot());
    EXPECT_EQ(t.totalRounded(), 1100); // 1099.75 rounds up (truncation would give 1099)
    CFlightSimulatorObjects s;
    t.toSnapshot(s);
    EXPECT_EQ(s.fTankLevel[10], 99.5f);
    EXPECT_EQ(s.fuelOnBoardRounded(), 1100);
}

} // namespace

// What a full poll through either bridge must show of the stand-in's aircraft
// model: position, heights, speeds, switches, tanks and the simulator clock.
#pragma once

#include "AircraftModel.h"
#include "SimScenario.h"
#include "sim/FlightSimulatorObjects.h"

#include <gtest/gtest.h>

#include <cstdio>

inline void expectSnapshotMatchesModel(const CFlightSimulatorObjects& fs, const SimAircraftState& m,
                                       const SimScenario& sc)
{
    EXPECT_NEAR(fs.dLatitude, m.lat, 1e-6);
    EXPECT_NEAR(fs.dLongitude, m.lon, 1e-6);
    EXPECT_NEAR(fs.dHeading, m.headingDeg, 1e-3);
    EXPECT_NEAR(fs.dAltitude, m.altitudeFt, 1.0);
    EXPECT_NEAR(fs.lGroundAltitude, m.groundFt, 1.0);
    EXPECT_NEAR(fs.lRadarAltitude, m.altitudeFt - m.groundFt, 1.0);
    EXPECT_NEAR(fs.lIndicatedAirspeed, m.iasKts, 1.0);
    EXPECT_NEAR(fs.lGroundSpeed, m.gsKts, 1.0);
    EXPECT_NEAR(fs.lVerticalSpeed, m.vsFpm, 1.0);
    EXPECT_EQ(fs.bOnGround, m.onGround);
    EXPECT_EQ(fs.bParkingBrake, m.parkingBrake);
    EXPECT_EQ(fs.bGearDown, m.gearDown);
    EXPECT_EQ(fs.lGearRetractable != 0, sc.aircraft.retractableGear);
    EXPECT_NEAR(fs.fFlaps, m.flaps, 1e-3);
    EXPECT_EQ(fs.bLandingLights, m.landingLights);
    EXPECT_EQ(fs.bLightsOn, (m.lightBits & 0x13) != 0);
    EXPECT_EQ(fs.lSurfaceType, m.surfaceType);
    EXPECT_EQ(fs.nEngines, sc.aircraft.engines);
    EXPECT_NEAR(fs.lMaxGrossWeight, sc.aircraft.maxGrossWeightKg, 1.0);
    const double kgPerGallon = sc.aircraft.fuelWeightLbsPerGallon * 0.45359237;
    for (int i = 0; i < CFlightSimulatorObjects::kTankCount; ++i) {
        EXPECT_FLOAT_EQ(fs.fTankCapacityGallons[i], static_cast<float>(sc.aircraft.tanks[i].capacityGallons));
        EXPECT_NEAR(fs.fTankLevel[i], m.tankGallons[i] * kgPerGallon, 1.0) << "tank " << i;
    }
    const long long utc = sc.startUtcSeconds + static_cast<long long>(m.simSeconds);
    const long long local = utc + sc.localOffsetMinutes * 60;
    char zulu[16], localTime[16];
    std::snprintf(zulu, sizeof zulu, "%02lld%02lld", utc / 3600 % 24, utc / 60 % 60);
    std::snprintf(localTime, sizeof localTime, "%02lld%02lld", local / 3600 % 24, local / 60 % 60);
    EXPECT_STREQ(fs.szZuluTime, zulu);
    EXPECT_STREQ(fs.szLocalTime, localTime);
    EXPECT_EQ(fs.recentVerticalSpeeds.count, 1);
}

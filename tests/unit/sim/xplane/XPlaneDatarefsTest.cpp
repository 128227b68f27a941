// Each snapshot field from its dataref, in X-Plane's units, with the unit
// conversion a wrong factor or a wrong index would break; and the tank numbers.
#include "sim/xplane/XPlaneDatarefs.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace XPlaneDatarefs;
using Snapshot = CFlightSimulatorObjects;

struct FieldCase {
    const char* name;
    Field field;
    float wire;
    std::function<double(const Snapshot&)> read;
    double expected;
};

class SnapshotField : public ::testing::TestWithParam<FieldCase> {};

// Every value set to something no case expects, so a field read from the wrong index shows.
void fillOthers(float (&v)[Count])
{
    for (int i = 0; i < Count; ++i)
        v[i] = 7.0f + static_cast<float>(i);
}

TEST_P(SnapshotField, ConvertsIntoTheSnapshotsUnit)
{
    float v[Count];
    fillOthers(v);
    v[Elevation] = 1000.0f;
    v[HeightAboveGround] = 100.0f;
    v[GetParam().field] = GetParam().wire;
    Snapshot s;
    applyPoll(v, s, false);
    EXPECT_NEAR(GetParam().read(s), GetParam().expected, 1e-4) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Poll, SnapshotField,
    ::testing::Values(
        FieldCase{"latitude, degrees", Latitude, 50.0333f, [](const Snapshot& s) { return s.dLatitude; }, 50.0333f},
        FieldCase{"longitude, degrees", Longitude, -8.5706f, [](const Snapshot& s) { return s.dLongitude; }, -8.5706f},
        FieldCase{"magnetic heading, wrapped", MagneticHeading, -10.0f, [](const Snapshot& s) { return s.dHeading; },
                  350.0},
        FieldCase{"pressure altitude, feet", PressureAltitude, 24000.0f, [](const Snapshot& s) { return s.dAltitude; },
                  24000.0},
        FieldCase{"height above ground, m to ft truncated", HeightAboveGround, 30.0f,
                  [](const Snapshot& s) { return s.lRadarAltitude; }, 98.0},
        FieldCase{"ground, elevation less height, m to ft", Elevation, 110.0f,
                  [](const Snapshot& s) { return s.lGroundAltitude; }, 32.0},
        FieldCase{"ground of 301 ft through metres stays 301", Elevation, 191.7448f,
                  [](const Snapshot& s) { return s.lGroundAltitude; }, 301.0},
        FieldCase{"vertical speed, ft/min truncated", VerticalSpeed, -180.9f,
                  [](const Snapshot& s) { return s.lVerticalSpeed; }, -180.0},
        FieldCase{"indicated airspeed, knots", IndicatedAirspeed, 140.7f,
                  [](const Snapshot& s) { return s.lIndicatedAirspeed; }, 140.0},
        FieldCase{"ground speed, m/s to knots", GroundSpeed, 77.1667f, [](const Snapshot& s) { return s.lGroundSpeed; },
                  150.0},
        FieldCase{"on ground", OnGround, 1.0f, [](const Snapshot& s) { return s.bOnGround; }, 1.0},
        FieldCase{"in the air", OnGround, 0.0f, [](const Snapshot& s) { return s.bOnGround; }, 0.0},
        FieldCase{"parking brake, any ratio set", ParkingBrake, 0.2f, [](const Snapshot& s) { return s.bParkingBrake; },
                  1.0},
        FieldCase{"parking brake released", ParkingBrake, 0.0f, [](const Snapshot& s) { return s.bParkingBrake; },
                  0.0},
        FieldCase{"gear handle up", GearHandleDown, 0.0f, [](const Snapshot& s) { return s.bGearDown; }, 0.0},
        FieldCase{"fixed gear", GearRetractable, 0.0f, [](const Snapshot& s) { return s.lGearRetractable; }, 0.0},
        FieldCase{"flaps handle ratio", FlapsHandle, 0.25f, [](const Snapshot& s) { return s.fFlaps; }, 0.25},
        FieldCase{"landing lights off", LandingLights, 0.0f, [](const Snapshot& s) { return s.bLandingLights; }, 0.0},
        FieldCase{"engines", EngineCount, 4.0f, [](const Snapshot& s) { return s.nEngines; }, 4.0},
        FieldCase{"empty weight, kg", EmptyWeight, 42600.6f, [](const Snapshot& s) { return s.lEmptyWeight; },
                  42600.0},
        FieldCase{"maximum weight, kg", MaxWeight, 78000.0f, [](const Snapshot& s) { return s.lMaxGrossWeight; },
                  78000.0},
        FieldCase{"payload, kg", Payload, 9540.0f, [](const Snapshot& s) { return s.dPayload; }, 9540.0},
        FieldCase{"simulation rate", SimulationSpeed, 4.0f, [](const Snapshot& s) { return s.fSimulationRate; }, 4.0},
        FieldCase{"paused", Paused, 1.0f, [](const Snapshot& s) { return s.lPaused; }, 1.0},
        FieldCase{"replay counts as paused", ReplayMode, 1.0f, [](const Snapshot& s) { return s.lPaused; }, 1.0},
        FieldCase{"crashed", Crashed, 1.0f, [](const Snapshot& s) { return s.lCrashed; }, 1.0}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(SnapshotLights, AnyOfNavigationBeaconAndStrobeAndTheLandingLightsKeptWhenOverridden)
{
    float v[Count] = {};
    Snapshot s;
    for (Field light : {NavigationLights, BeaconLights, StrobeLights}) {
        v[NavigationLights] = v[BeaconLights] = v[StrobeLights] = 0.0f;
        v[light] = 1.0f;
        applyPoll(v, s, false);
        EXPECT_TRUE(s.bLightsOn) << light;
    }
    v[LandingLights] = 1.0f;
    s.bLandingLights = false;
    applyPoll(v, s, true);
    EXPECT_FALSE(s.bLandingLights) << "the pilot's switch holds";
}

struct TankCase {
    int count;
    std::vector<int> slots; // X-Plane tank i -> snapshot slot
};

class TankNumbers : public ::testing::TestWithParam<TankCase> {};

TEST_P(TankNumbers, MapToTheSnapshotsSlotsAndCarryKilograms)
{
    const TankCase& c = GetParam();
    float v[Count] = {};
    v[TankCount] = static_cast<float>(c.count);
    v[FuelCapacity] = 10000.0f;
    for (int i = 0; i < c.count; ++i) {
        v[TankRatio0 + i] = 1.0f / c.count;
        v[TankFuel0 + i] = 100.0f * (i + 1);
    }
    Snapshot s;
    const std::int32_t onBoard = applyTanks(v, s);
    int expectedSum = 0;
    for (int i = 0; i < c.count; ++i) {
        const int slot = c.slots[static_cast<std::size_t>(i)];
        EXPECT_EQ(tankSlot(i, c.count), slot);
        EXPECT_FLOAT_EQ(s.fTankLevel[slot], 100.0f * (i + 1)) << "tank " << i;
        EXPECT_FLOAT_EQ(s.fTankCapacity[slot], 10000.0f / c.count);
        EXPECT_NEAR(s.fTankCapacityGallons[slot], 10000.0 / c.count / kKgPerGallon, 1e-2);
        expectedSum += 100 * (i + 1);
    }
    EXPECT_EQ(onBoard, expectedSum);
    EXPECT_EQ(tankSlot(c.count, c.count), -1);
}

INSTANTIATE_TEST_SUITE_P(Tanks, TankNumbers,
                         ::testing::Values(TankCase{1, {Snapshot::TankCentre}},
                                           TankCase{2, {Snapshot::TankLeftMain, Snapshot::TankRightMain}},
                                           TankCase{3, {Snapshot::TankLeftMain, Snapshot::TankCentre,
                                                        Snapshot::TankRightMain}},
                                           TankCase{9, {Snapshot::TankLeftMain, Snapshot::TankCentre,
                                                        Snapshot::TankRightMain, Snapshot::TankLeftAux,
                                                        Snapshot::TankRightAux, Snapshot::TankLeftTip,
                                                        Snapshot::TankRightTip, Snapshot::TankCentre2,
                                                        Snapshot::TankCentre3}}));

TEST(TankNumbers, NegativeFuelAndRatiosAboveOneAreLimited)
{
    float v[Count] = {};
    v[TankCount] = 42.0f; // more than X-Plane has: nine
    v[FuelCapacity] = 1000.0f;
    v[TankRatio0] = 3.0f;
    v[TankFuel0] = -50.0f;
    Snapshot s;
    EXPECT_EQ(applyTanks(v, s), 0);
    EXPECT_FLOAT_EQ(s.fTankCapacity[Snapshot::TankLeftMain], 1000.0f);
    EXPECT_FLOAT_EQ(s.fTankLevel[Snapshot::TankLeftMain], 0.0f);
}

} // namespace

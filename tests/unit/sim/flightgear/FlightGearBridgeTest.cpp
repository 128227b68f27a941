// The FlightGear bridge against a scripted property server: each snapshot
// field from its property with its unit conversion, missing and unreadable
// values that must never become zeros, spoiled answers, and the writes.
#include "platform/headless/ManualClock.h"
#include "server/ClientInterface.h"
#include "sim/SimulatorChoice.h"
#include "sim/flightgear/FlightSimulatorInterfaceUsingFlightGear.h"
#include "support/ScriptedFlightGear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bridge = CFlightSimulatorInterfaceUsingFlightGear;
using Snapshot = CFlightSimulatorObjects;

class FlightGearBridge : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bridge.connect()); }

    bool wrote(const std::string& set) const
    {
        return std::find(fg.sets.begin(), fg.sets.end(), set) != fg.sets.end();
    }

    ScopedManualClock clock;
    ScriptedFlightGear fg;
    CClientInterface client;
    Bridge bridge{client, FlightGearSettings{}};
};

struct FieldCase {
    const char* property;
    const char* wire;
    std::function<double(const Snapshot&)> read;
    double expected;
};

class FlightGearField : public FlightGearBridge, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(FlightGearField, ConvertsIntoTheSnapshotsUnit)
{
    fg.properties[GetParam().property] = GetParam().wire;
    ASSERT_TRUE(bridge.getEverything());
    ASSERT_GE(bridge.getAircraftTanks(), 0);
    EXPECT_NEAR(GetParam().read(bridge), GetParam().expected, 1e-3) << GetParam().property;
}

INSTANTIATE_TEST_SUITE_P(
    Poll, FlightGearField,
    ::testing::Values(
        FieldCase{"/position/latitude-deg", "64.13", [](const Snapshot& s) { return s.dLatitude; }, 64.13},
        FieldCase{"/position/longitude-deg", "-21.94", [](const Snapshot& s) { return s.dLongitude; }, -21.94},
        FieldCase{"/orientation/heading-magnetic-deg", "-10", [](const Snapshot& s) { return s.dHeading; }, 350.0},
        FieldCase{"/instrumentation/altimeter/pressure-alt-ft", "4500.5", [](const Snapshot& s) { return s.dAltitude; },
                  4500.5},
        FieldCase{"/position/altitude-agl-ft", "812.9", [](const Snapshot& s) { return s.lRadarAltitude; }, 812.0},
        FieldCase{"/position/ground-elev-ft", "47.6", [](const Snapshot& s) { return s.lGroundAltitude; }, 47.0},
        FieldCase{"/velocities/vertical-speed-fps", "-3.25", [](const Snapshot& s) { return s.lVerticalSpeed; },
                  -195.0},
        FieldCase{"/instrumentation/airspeed-indicator/indicated-speed-kt", "97.8",
                  [](const Snapshot& s) { return s.lIndicatedAirspeed; }, 97.0},
        FieldCase{"/velocities/groundspeed-kt", "12.2", [](const Snapshot& s) { return s.lGroundSpeed; }, 12.0},
        FieldCase{"/controls/gear/brake-parking", "0", [](const Snapshot& s) { return s.bParkingBrake; }, 0.0},
        FieldCase{"/controls/gear/gear-down", "false", [](const Snapshot& s) { return s.bGearDown; }, 0.0},
        FieldCase{"/controls/flight/flaps", "0.333", [](const Snapshot& s) { return s.fFlaps; }, 0.333},
        FieldCase{"/controls/lighting/landing-lights", "true", [](const Snapshot& s) { return s.bLandingLights; },
                  1.0},
        FieldCase{"/controls/lighting/beacon", "true", [](const Snapshot& s) { return s.bLightsOn; }, 1.0},
        FieldCase{"/controls/lighting/strobe", "1", [](const Snapshot& s) { return s.bLightsOn; }, 1.0},
        FieldCase{"/fdm/jsbsim/inertia/empty-weight-lbs", "1000", [](const Snapshot& s) { return s.lEmptyWeight; },
                  453.0},
        FieldCase{"/limits/mass-and-balance/maximum-takeoff-mass-lbs", "2400",
                  [](const Snapshot& s) { return s.lMaxGrossWeight; }, 1088.0},
        FieldCase{"/payload/weight[2]/weight-lb", "100", [](const Snapshot& s) { return s.dPayload; },
                  280.0 * 0.45359237},
        FieldCase{"/sim/speed-up", "4", [](const Snapshot& s) { return s.fSimulationRate; }, 4.0},
        FieldCase{"/sim/freeze/master", "true", [](const Snapshot& s) { return s.lPaused; }, 1.0},
        FieldCase{"/sim/replay/replay-state", "true", [](const Snapshot& s) { return s.lPaused; }, 1.0},
        FieldCase{"/sim/crashed", "true", [](const Snapshot& s) { return s.lCrashed; }, 1.0},
        FieldCase{"/consumables/fuel/tank[1]/level-lbs", "30",
                  [](const Snapshot& s) { return s.fTankLevel[Snapshot::TankRightMain]; }, 30 * 0.45359237},
        FieldCase{"/consumables/fuel/tank[0]/capacity-gal_us", "20",
                  [](const Snapshot& s) { return s.fTankCapacity[Snapshot::TankLeftMain]; }, 120 * 0.45359237},
        FieldCase{"/consumables/fuel/tank[0]/density-ppg", "6.7",
                  [](const Snapshot& s) { return s.fTankCapacityGallons[Snapshot::TankLeftMain]; }, 21.5}));

TEST_F(FlightGearBridge, OnTheGroundWhileAnyWheelCarriesWeight)
{
    for (const char* wow : {"/gear/gear[0]/wow", "/gear/gear[1]/wow", "/gear/gear[2]/wow"})
        fg.properties[wow] = "false";
    ASSERT_TRUE(bridge.getEverything());
    EXPECT_FALSE(bridge.bOnGround);
    fg.properties["/gear/gear[2]/wow"] = "true";
    fg.properties.erase("/gear/gear[1]/wow"); // an aircraft with fewer units
    ASSERT_TRUE(bridge.getEverything());
    EXPECT_TRUE(bridge.bOnGround);
    EXPECT_EQ(bridge.nEngines, 1);
    EXPECT_EQ(bridge.lGearRetractable, 0) << "no JSBSim gear position: fixed gear";
}

TEST_F(FlightGearBridge, TouchdownIsScoredFromTheSinkInTheAir)
{
    // The gear has stopped the sink by the first poll on the ground.
    const std::vector<std::pair<const char*, const char*>> polls = {
        {"-2.9", "false"}, {"-2.8", "false"}, {"-2.7", "false"}, {"-0.1", "true"}, {"0.4", "true"}};
    for (const auto& [fps, wow] : polls) {
        fg.properties["/velocities/vertical-speed-fps"] = fps;
        for (const char* unit : {"/gear/gear[0]/wow", "/gear/gear[1]/wow", "/gear/gear[2]/wow"})
            fg.properties[unit] = wow;
        ASSERT_TRUE(bridge.getEverything());
    }
    std::int32_t values[3];
    ASSERT_EQ(bridge.recentVerticalSpeeds.oldestFirst(values), 3);
    for (std::int32_t fpm : values)
        EXPECT_NEAR(fpm, -168, 7) << "a reading on the ground entered the touchdown's average";
}

struct EngineCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> nodes;
    int engines;
    const char* failure; // what failing engine 1 writes
};

class FlightGearEngines : public FlightGearBridge, public ::testing::WithParamInterface<EngineCase> {};

TEST_P(FlightGearEngines, CountsTheEnginesFitted)
{
    for (const auto& [path, value] : GetParam().nodes)
        fg.properties[path] = value;
    Bridge other{client, FlightGearSettings{}};
    ASSERT_TRUE(other.connect());
    ASSERT_TRUE(other.getEverything());
    EXPECT_EQ(other.nEngines, GetParam().engines) << GetParam().name;
    other.failEngine(0, true);
    EXPECT_EQ(fg.sets.back(), GetParam().failure) << GetParam().name;
}

const std::string kJsbEngine = "/fdm/jsbsim/propulsion/engine";

INSTANTIATE_TEST_SUITE_P(
    Layout, FlightGearEngines,
    ::testing::Values(
        EngineCase{"no JSBSim: by /engines", {}, 1, "/sim/failure-manager/engines/engine/failure-level=1"},
        EngineCase{"c172p: 160 hp fitted, 180 hp carried",
                   {{kJsbEngine + "[0]/set-running", "0"},
                    {kJsbEngine + "[1]/set-running", "0"},
                    {"/controls/engines/active-engine", "0"}},
                   1,
                   "/sim/failure-manager/engines/engine/failure-level=1"},
        EngineCase{"c172p: 180 hp fitted",
                   {{kJsbEngine + "[0]/set-running", "0"},
                    {kJsbEngine + "[1]/set-running", "0"},
                    {"/controls/engines/active-engine", "1"}},
                   1,
                   "/sim/failure-manager/engines/engine[1]/failure-level=1"},
        EngineCase{"twin without variants",
                   {{kJsbEngine + "[0]/set-running", "0"}, {kJsbEngine + "[1]/set-running", "0"}},
                   2,
                   "/sim/failure-manager/engines/engine/failure-level=1"},
        EngineCase{"active engine that is none of them",
                   {{kJsbEngine + "[0]/set-running", "0"},
                    {kJsbEngine + "[1]/set-running", "0"},
                    {"/controls/engines/active-engine", "2"}},
                   2,
                   "/sim/failure-manager/engines/engine/failure-level=1"}));

struct MissingCase {
    const char* property;
    const char* wire; // nullptr: the node is gone
    bool snapshotTaken;
};

class FlightGearMissing : public FlightGearBridge, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(FlightGearMissing, NeverBecomesAZero)
{
    fg.properties["/controls/lighting/landing-lights"] = "true";
    fg.properties["/fdm/jsbsim/inertia/empty-weight-lbs"] = "1500";
    ASSERT_TRUE(bridge.getEverything());
    if (GetParam().wire == nullptr)
        fg.properties.erase(GetParam().property);
    else
        fg.properties[GetParam().property] = GetParam().wire;
    EXPECT_EQ(bridge.getEverything(), GetParam().snapshotTaken) << GetParam().property;
    EXPECT_NEAR(bridge.dLatitude, 63.985, 1e-6);
    EXPECT_NEAR(bridge.dAltitude, 180.2, 1e-6);
    EXPECT_TRUE(bridge.bLandingLights);
    EXPECT_EQ(bridge.lEmptyWeight, 680);
    EXPECT_TRUE(bridge.isConnected()) << "a missing value is no broken connection";
}

INSTANTIATE_TEST_SUITE_P(Poll, FlightGearMissing,
                         ::testing::Values(MissingCase{"/position/latitude-deg", nullptr, false},
                                           MissingCase{"/position/latitude-deg", "", false},
                                           MissingCase{"/instrumentation/altimeter/pressure-alt-ft", "nan", false},
                                           MissingCase{"/sim/time/utc/day-seconds", "12:00", false},
                                           MissingCase{"/gear/gear[0]/wow", nullptr, false},
                                           MissingCase{"/controls/lighting/landing-lights", nullptr, true},
                                           MissingCase{"/fdm/jsbsim/inertia/empty-weight-lbs", "0x10", true}));

TEST_F(FlightGearBridge, MissingTankValueLeavesTheFuelUnknown)
{
    ASSERT_EQ(bridge.getAircraftTanks(), 54) << "2 x 60 lb";
    fg.properties.erase("/consumables/fuel/tank[1]/density-ppg");
    EXPECT_EQ(bridge.getAircraftTanks(), -1);
}

struct SpoiledCase {
    const char* name;
    std::function<void(std::string&)> spoil;
};

class FlightGearSpoiled : public FlightGearBridge, public ::testing::WithParamInterface<SpoiledCase> {};

TEST_P(FlightGearSpoiled, DropsTheConnectionAndComesBack)
{
    ASSERT_TRUE(bridge.getEverything());
    fg.spoil = GetParam().spoil;
    EXPECT_FALSE(bridge.getEverything()) << GetParam().name;
    EXPECT_FALSE(bridge.isConnected());
    EXPECT_NEAR(bridge.dLatitude, 63.985, 1e-6);
    fg.spoil = nullptr;
    ASSERT_TRUE(bridge.connect());
    EXPECT_TRUE(bridge.getEverything());
    EXPECT_EQ(fg.connections, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FlightGearSpoiled,
    ::testing::Values(SpoiledCase{"one answer short", [](std::string& a) { a.erase(a.rfind("\r\n", a.size() - 3)); }},
                      SpoiledCase{"one answer more", [](std::string& a) { a += "1\r\n"; }},
                      SpoiledCase{"a line without end", [](std::string& a) { a += std::string(5000, '7'); }},
                      SpoiledCase{"a NUL inside", [](std::string& a) { a[3] = '\0'; }},
                      SpoiledCase{"nothing at all", [](std::string& a) { a.clear(); }}));

TEST_F(FlightGearBridge, ClosedConnectionIsLostNotFrozen)
{
    fg.batchesLeft = 1;
    EXPECT_TRUE(bridge.getEverything());
    EXPECT_FALSE(bridge.getEverything());
    EXPECT_FALSE(bridge.isConnected());
}

TEST_F(FlightGearBridge, WritesFuelPauseFailuresRateAndTexts)
{
    ASSERT_GT(bridge.getAircraftTanks(), 0);
    bridge.distributeFuel(80);
    ASSERT_EQ(bridge.setAircraftTanks(), 1);
    EXPECT_EQ(bridge.getAircraftTanks(), 80) << "the tanks read back as FlightGear holds them";
    EXPECT_NE(fg.properties["/consumables/fuel/tank[0]/level-lbs"], "60");
    bridge.pauseSimulator();
    EXPECT_TRUE(wrote("/sim/freeze/master=true"));
    bridge.failEngine(0, true);
    EXPECT_TRUE(wrote("/sim/failure-manager/engines/engine/failure-level=1"));
    bridge.failEngine(1, true);
    EXPECT_TRUE(wrote("/sim/failure-manager/engines/engine[1]/failure-level=1"));
    bridge.applyFailure(5);
    EXPECT_TRUE(wrote("/sim/failure-manager/controls/flight/flaps/failure-level=1"));
    bridge.applyFailure(6);
    EXPECT_TRUE(wrote("/sim/failure-manager/controls/gear/failure-level=1"));
    bridge.setSimulationRate(2);
    EXPECT_TRUE(wrote("/sim/speed-up=2"));
    bridge.showText("Flight Aborted\r\nset /sim/crashed true", 5, true);
    EXPECT_TRUE(wrote("/sim/screen/yellow=Flight Aborted  set /sim/crashed true")) << "one line, no injected request";
    EXPECT_EQ(fg.properties["/sim/crashed"], "false");
}

TEST_F(FlightGearBridge, NamesItselfAndItsVersionInTheReport)
{
    ASSERT_TRUE(bridge.getEverything());
    EXPECT_EQ(bridge.getInterfaceName(), "FlightGear");
    EXPECT_EQ(bridge.getSimulatorReportCode(), "FG");
    EXPECT_EQ(bridge.getVersionText(), "2020.3.16");
    EXPECT_TRUE(bridge.checkVersion());
    EXPECT_EQ(bridge.aircraftName(), "c172p");
}

TEST_F(FlightGearBridge, NotFlightGearWithoutItsVersionAndChosenWhenItAnswers)
{
    auto sim = createSimulatorInterface("", client);
    EXPECT_EQ(sim->getInterfaceName(), "FlightGear");
    fg.properties.erase("/sim/version/flightgear");
    Bridge other{client, FlightGearSettings{}};
    EXPECT_FALSE(other.connect());
    fg.refuse = true;
    sim = createSimulatorInterface("", client);
    EXPECT_EQ(sim->getInterfaceName(), "FSUIPC");
}

} // namespace

// Bridge-independent logic of the simulator interface: fuel distribution,
// weight and engine checks, landing lights, names, and the flight timer.
#include "core/DebugLog.h"
#include "core/FixedText.h"
#include "server/ClientInterface.h"
#include "sim/FlightTimer.h"
#include "support/LogCapture.h"
#include "support/ScriptedSimulator.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace {

using Tanks = std::array<float, 11>;

struct FuelCase {
    const char* name;
    int kg;
    Tanks capacity;
    Tanks expected;
};

class DistributeFuelTest : public ::testing::TestWithParam<FuelCase> {};

TEST_P(DistributeFuelTest, FillsPairsThenSingles)
{
    CClientInterface client;
    ScriptedSimulator sim(client);
    const FuelCase& c = GetParam();
    for (int i = 0; i < 11; ++i) {
        sim.fTankCapacity[i] = c.capacity[i];
        sim.fTankLevel[i] = 99.0f; // overwritten by every distribution
    }
    sim.distributeFuel(c.kg);
    for (int i = 0; i < 11; ++i)
        EXPECT_FLOAT_EQ(sim.fTankLevel[i], c.expected[i]) << "tank " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DistributeFuelTest,
    ::testing::Values(
        FuelCase{"MainsOnly", 1000, {0, 2000, 2000, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0}},
        FuelCase{"MainsThenCentre", 6000, {8000, 2000, 2000, 0, 0, 0, 0, 0, 0, 0, 0},
                 {2000, 2000, 2000, 0, 0, 0, 0, 0, 0, 0, 0}},
        FuelCase{"OverfullDropsTheRest", 100000, {100, 300, 300, 50, 50, 10, 10, 20, 30, 40, 60},
                 {100, 300, 300, 50, 50, 10, 10, 20, 30, 40, 60}},
        FuelCase{"UnevenPairSharesEqually", 800, {0, 0, 1000, 0, 0, 0, 0, 0, 0, 0, 0},
                 {0, 400, 400, 0, 0, 0, 0, 0, 0, 0, 0}},
        FuelCase{"UnevenPairOverfull", 5000, {0, 0, 1000, 0, 0, 0, 0, 0, 0, 0, 0},
                 {0, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0}},
        FuelCase{"AuxAndTipsBeforeCentre", 700, {500, 100, 100, 100, 100, 50, 50, 0, 0, 0, 0},
                 {200, 100, 100, 100, 100, 50, 50, 0, 0, 0, 0}},
        FuelCase{"SinglesInOrder", 250, {0, 0, 0, 0, 0, 0, 0, 100, 100, 100, 100},
                 {0, 0, 0, 0, 0, 0, 0, 100, 100, 50, 0}},
        FuelCase{"NegativeIsEmpty", -500, {100, 100, 100, 0, 0, 0, 0, 0, 0, 0, 0}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct WeightCase {
    const char* name;
    int passengers, cargo, extraFuel;
    float fuel;
    int expected;
    const char* limit;
};

class OverweightTest : public ::testing::TestWithParam<WeightCase> {};

TEST_P(OverweightTest, LargestExcessAndTheLastLimitNamed)
{
    const WeightCase& c = GetParam();
    CClientInterface client;
    client.types = AircraftTypeData{};
    client.types.d_DOW = 40000;
    client.types.d_MLW = 60000;
    client.types.d_MTOW = 70000;
    client.types.d_MZFW = 55000;
    client.flightLog.crew_wt = 400;
    client.flightLog.package_kg = 100;
    copyText(client.flightLog.l_Passengers, std::to_string(c.passengers));
    copyText(client.flightLog.l_Cargo, std::to_string(c.cargo));
    ScriptedSimulator sim(client);
    for (float& t : sim.state.tankLevel)
        t = 0.0f;
    sim.state.tankLevel[0] = c.fuel;
    sim.lExtraFuel = c.extraFuel;
    EXPECT_EQ(sim.getOverweight(), c.expected);
    EXPECT_STREQ(sim.getOverweightLimit(), c.limit);
}

// base = pax*102 + cargo + 40000 + 400 + 100
INSTANTIATE_TEST_SUITE_P(
    Table, OverweightTest,
    ::testing::Values(WeightCase{"AllBelow", 100, 1000, 2000, 10000, -3300, ""}, // MLW -6300, MTOW -8300, MZFW -3300
                      WeightCase{"TakeOff", 100, 1000, 2000, 20000, 1700, " MTOW"},
                      WeightCase{"Landing", 100, 1000, 19000, 5000, 10700, " MLW"},
                      WeightCase{"ZeroFuelNamedLast", 150, 3000, 0, 17000, 5800, " MZFW"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatorInterface, EngineCountCheck)
{
    CClientInterface client;
    client.types.d_Engines = 2;
    ScriptedSimulator sim(client);
    LogCapture logs;
    sim.nEngines = 1;
    EXPECT_EQ(sim.checkAircraftData(), 5);
    EXPECT_TRUE(logs.contains("Engine count missmatch db: 2 found 1"));
    sim.nEngines = 2;
    EXPECT_EQ(sim.checkAircraftData(), 0);
    sim.nEngines = 4;
    EXPECT_EQ(sim.checkAircraftData(), 0);
}

TEST(SimulatorInterface, LandingLightsBelongToThePilotOnceToggled)
{
    CClientInterface client;
    ScriptedSimulator sim(client);
    sim.state.landingLights = true;
    sim.getEverything();
    EXPECT_TRUE(sim.bLandingLights);
    sim.toggleLandingLights();
    EXPECT_FALSE(sim.bLandingLights);
    sim.toggleLandingLights();
    EXPECT_TRUE(sim.bLandingLights);
    EXPECT_EQ(sim.texts, (std::vector<std::string>{"Landing Lights turned OFF!", "Landing Lights turned ON!"}));
    sim.state.landingLights = false;
    sim.getEverything();
    EXPECT_TRUE(sim.bLandingLights) << "the simulator's switch is ignored from now on";
}

TEST(SimulatorInterface, Names)
{
    EXPECT_STREQ(CFlightSimulatorInterface::surfaceTypeName(0), "Concrete");
    EXPECT_STREQ(CFlightSimulatorInterface::surfaceTypeName(17), "Bituminus");
    EXPECT_STREQ(CFlightSimulatorInterface::surfaceTypeName(24), "Wright flyer track");
    EXPECT_STREQ(CFlightSimulatorInterface::surfaceTypeName(25), "Unknown");
    EXPECT_STREQ(CFlightSimulatorInterface::surfaceTypeName(-1), "Unknown");
    EXPECT_STREQ(CFlightSimulatorInterface::getVersionChecklistText(SimP3D5), "Version: Prepar3D 64bit");
    EXPECT_STREQ(CFlightSimulatorInterface::getVersionChecklistText(SimXPlane10), "Version: X-Plane 10");
    EXPECT_STREQ(CFlightSimulatorInterface::getVersionChecklistText(SimFS2024), "Version: unknown");
    EXPECT_STREQ(CFlightSimulatorInterface::getVersionChecklistText(99), "Version: unknown");
}

struct ReportCodeCase {
    int version;
    const char* code;
};

class ReportCodeTest : public ::testing::TestWithParam<ReportCodeCase> {};

TEST_P(ReportCodeTest, NamesTheSimulatorInTheReport)
{
    CClientInterface client;
    ScriptedSimulator sim(client);
    sim.simulatorVersion = GetParam().version;
    EXPECT_EQ(sim.getSimulatorReportCode(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Codes, ReportCodeTest,
                         ::testing::Values(ReportCodeCase{6, "FS2002"}, ReportCodeCase{10, "P3D"},
                                           ReportCodeCase{14, "FS2024"}, ReportCodeCase{16, "XP11"},
                                           ReportCodeCase{17, "P3D6"}, ReportCodeCase{9, "SCRIPT"},
                                           ReportCodeCase{3, "SCRIPT"}));

TEST(SimulatorInterface, ElapsedFlightTimeCountsFromTheStart)
{
    CClientInterface client;
    ScriptedSimulator sim(client);
    sim.dFlightTime = 4000.9;
    sim.lFlightTimeAtStart = 1000;
    EXPECT_EQ(sim.getElapsedFlightTime(), 3000);
    sim.dFlightTime = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(sim.getElapsedFlightTime(), -1000);
}

struct TimerStep {
    double clock;
    double expected;
};

struct TimerCase {
    const char* name;
    CFlightTimer::Style style;
    std::vector<TimerStep> steps;
    const char* logged; // a line the steps must have written, or ""
};

class FlightTimerTest : public ::testing::TestWithParam<TimerCase> {};

TEST_P(FlightTimerTest, GuardsAgainstJumps)
{
    CDebugLog log("TimerTest", CDebugLog::Quiet{});
    LogCapture logs;
    CFlightTimer timer(GetParam().style, log);
    for (const TimerStep& s : GetParam().steps)
        EXPECT_DOUBLE_EQ(timer.update(s.clock).flightTime, s.expected) << "clock " << s.clock;
    if (*GetParam().logged != '\0') {
        EXPECT_TRUE(logs.contains(GetParam().logged)) << ::testing::PrintToString(logs.lines());
    }
}

using S = CFlightTimer::Style;
INSTANTIATE_TEST_SUITE_P(
    Steps, FlightTimerTest,
    ::testing::Values(
        TimerCase{"Counts", S::Fsuipc, {{1000, 0}, {1010, 10}, {1610, 610}}, ""},
        TimerCase{"SixHundredCounts", S::Fsuipc, {{1000, 0}, {1600, 600}}, ""},
        TimerCase{"JumpNotCounted", S::Fsuipc, {{1000, 0}, {1600.1, 0}, {1601.1, 1}},
                  "Error: [TimerTest] FlightTimer raised too fast: InitValue += 600.100000"},
        TimerCase{"BackwardsHolds", S::Fsuipc, {{1000, 0}, {1100, 100}, {1050, 100}, {1060, 110}},
                  "Error: [TimerTest] FlightTimer decreased: InitValue -= 50.000000"},
        TimerCase{"SimConnectWarns", S::SimConnect, {{1000, 0}, {1100, 100}, {1050, 100}},
                  "Warn: [TimerTest] FlightTimer decreased: InitValue -= 50"},
        TimerCase{"MidnightRollsOver", S::SimConnect, {{86390, 0}, {86399, 9}, {5, 15}, {65, 75}},
                  "FlightTimer reinitialized: InitValue = -10"},
        TimerCase{"NoRollOverForDayClocks", S::Fsuipc, {{86390, 0}, {86399, 9}, {5, 9}}, ""},
        TimerCase{"GarbageIgnored", S::Fsuipc,
                  {{1000, 0}, {std::numeric_limits<double>::quiet_NaN(), 0}, {1020, 20}}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

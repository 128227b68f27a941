// qvl-sim's own promises: every shipped scenario flies to its end and shows
// what it is named for; bad scenario files are refused with a reason.
#include "Simulator.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>

namespace {

SimScenario load(const std::string& name)
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/" + name + ".json", s, error)) << error;
    return s;
}

// What one scenario must show while it is flown.
struct Flown {
    double minAltitudeAgl = 1e9, maxAltitudeAgl = 0.0, maxRate = 1.0, maxFuel = 0.0, maxJumpNm = 0.0;
    double lastFuel = -1.0, fuelRise = 0.0;
    bool crashed = false, sawSlew = false;
    SimAircraftState last;
};

Flown fly(const std::string& name)
{
    CSimulator sim(load(name));
    Flown f;
    SimAircraftState prev = sim.state();
    for (int second = 0; second < 4 * 3600 && !sim.scenarioFinished(); ++second) {
        sim.advance(1.0);
        const SimAircraftState s = sim.state();
        double fuel = 0.0;
        for (double g : s.tankGallons)
            fuel += g;
        if (f.lastFuel >= 0.0 && fuel > f.lastFuel)
            f.fuelRise += fuel - f.lastFuel;
        f.lastFuel = fuel;
        f.maxAltitudeAgl = std::max(f.maxAltitudeAgl, s.altitudeFt - s.groundFt);
        f.maxRate = std::max(f.maxRate, s.simRate);
        f.crashed = f.crashed || s.crashed;
        f.sawSlew = f.sawSlew || s.slew;
        f.maxJumpNm = std::max(f.maxJumpNm, CAircraftModel::distanceNm(prev.lat, prev.lon, s.lat, s.lon));
        prev = s;
    }
    EXPECT_TRUE(sim.scenarioFinished()) << name << " never finished";
    f.last = sim.state();
    return f;
}

struct ScenarioCase {
    const char* name;
    std::function<void(const Flown&)> check;
};

class SimScenarioTest : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(SimScenarioTest, FliesToTheEndAndShowsItsPoint)
{
    GetParam().check(fly(GetParam().name));
}

void landedAndParked(const Flown& f)
{
    EXPECT_TRUE(f.last.onGround);
    EXPECT_TRUE(f.last.parkingBrake);
    EXPECT_EQ(f.last.gsKts, 0.0);
    EXPECT_FALSE(f.crashed);
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, SimScenarioTest,
    ::testing::Values(ScenarioCase{"airline_eddf_eddm",
                                   [](const Flown& f) {
                                       landedAndParked(f);
                                       EXPECT_GT(f.maxAltitudeAgl, 20000.0);
                                       EXPECT_LT(CAircraftModel::distanceNm(f.last.lat, f.last.lon, 48.3538, 11.7861),
                                                 3.0);
                                       EXPECT_NEAR(f.last.touchdownVsFpm, -180.0, 1.0);
                                   }},
                      ScenarioCase{"short_circuit",
                                   [](const Flown& f) {
                                       landedAndParked(f);
                                       EXPECT_LT(CAircraftModel::distanceNm(f.last.lat, f.last.lon, 49.9608, 8.6436),
                                                 3.0);
                                   }},
                      ScenarioCase{"hard_landing", [](const Flown& f) { EXPECT_LE(f.last.touchdownVsFpm, -850.0); }},
                      ScenarioCase{"crash", [](const Flown& f) { EXPECT_TRUE(f.crashed); }},
                      ScenarioCase{"water_landing",
                                   [](const Flown& f) {
                                       EXPECT_TRUE(f.last.onGround);
                                       EXPECT_EQ(f.last.surfaceType, 2);
                                   }},
                      ScenarioCase{"inflight_refuel",
                                   [](const Flown& f) {
                                       landedAndParked(f);
                                       EXPECT_NEAR(f.fuelRise, 800.0, 1.0);
                                   }},
                      ScenarioCase{"slew_jump",
                                   [](const Flown& f) {
                                       EXPECT_TRUE(f.sawSlew);
                                       EXPECT_GT(f.maxJumpNm, 20.0);
                                   }},
                      ScenarioCase{"sim_rate_abuse", [](const Flown& f) { EXPECT_EQ(f.maxRate, 4.0); }},
                      ScenarioCase{"midflight_disconnect", [](const Flown& f) { landedAndParked(f); }}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadScenario {
    const char* name;
    const char* json;
    const char* reason;
};

class SimBadScenarioTest : public ::testing::TestWithParam<BadScenario> {};

TEST_P(SimBadScenarioTest, IsRefusedWithAReason)
{
    SimScenario s;
    std::string error;
    EXPECT_FALSE(SimScenario::parse(GetParam().json, s, error));
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

constexpr const char* kStart = R"("start": {"lat": 50, "lon": 8})";

INSTANTIATE_TEST_SUITE_P(
    Files, SimBadScenarioTest,
    ::testing::Values(
        BadScenario{"notJson", "{\"aircraft\": ", "not valid JSON"},
        BadScenario{"noAircraft", R"({"start": {"lat": 1, "lon": 2}})", "no \"aircraft\""},
        BadScenario{"latitudeOutOfRange", R"({"aircraft": {}, "start": {"lat": 91, "lon": 8}})", "\"lat\""},
        BadScenario{"textForNumber", R"({"aircraft": {"engines": "two"}, "start": {"lat": 1, "lon": 2}})",
                    "\"engines\""},
        BadScenario{"nanFill",
                    R"({"aircraft": {"tanks": [{"slot": "centre", "capacityGallons": 10, "fill": "nan"}]},
                        "start": {"lat": 1, "lon": 2}})",
                    "\"fill\""},
        BadScenario{"unknownTank", R"({"aircraft": {"tanks": [{"slot": "wing"}]}, "start": {"lat": 1, "lon": 2}})",
                    "unknown tank slot"},
        BadScenario{"unknownAction",
                    R"({"aircraft": {}, "start": {"lat": 1, "lon": 2}, "actions": [{"action": "barrelRoll"}]})",
                    "unknown action"},
        BadScenario{"badDate", R"({"aircraft": {}, "start": {"lat": 1, "lon": 2, "utc": "yesterday"}})", "\"utc\""},
        BadScenario{"badVersion",
                    R"({"simulator": {"fsuipcVersion": "0x1FFFFFFFF"}, "aircraft": {}, "start": {"lat": 1, "lon": 2}})",
                    "fsuipcVersion"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimProgram, BadScenarioFileEndsWithAnErrorNotACrash)
{
    const std::string file = ::testing::TempDir() + "/qvl-sim-bad-scenario.json";
    std::ofstream(file) << "{\"aircraft\": {\"engines\": 9}, " << kStart << "}";
    CSimProcess sim(CSimProcess::programPath(QVL_BINARY_DIR), {"run", file});
    EXPECT_FALSE(sim.start(5000));
    std::remove(file.c_str());
}

} // namespace

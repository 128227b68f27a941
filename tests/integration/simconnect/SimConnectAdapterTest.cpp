// The SimConnect adapter against the stand-in library: a full poll matches the
// aircraft model, the writes reach it, the open message identifies the
// simulator, and missing libraries, silent simulators and pushed events are
// handled as the client expects.
#include "Simulator.h"
#include "integration/SnapshotExpectations.h"
#include "platform/headless/ManualClock.h"
#include "server/ClientInterface.h"
#include "sim/SimulatorChoice.h"
#include "sim/simconnect/FlightSimulatorInterfaceUsingSdk.h"
#include "support/FsuipcTestDirectory.h"
#include "support/LogCapture.h"
#include "support/SimConnectStandIn.h"
#include "support/SimRecordFile.h"

#include <gtest/gtest.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

namespace {

const std::string kAirline = std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json";

SimScenario loadScenario(const std::string& path)
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(path, s, error)) << error;
    return s;
}

class SimConnectAdapterTest : public ::testing::Test {
protected:
    CSimRecordFile record() const { return CSimRecordFile(standIn.recordPath()); }

    // The airline scenario with a change, written for the stand-in to fly.
    void useScenario(const std::function<void(boost::property_tree::ptree&)>& change)
    {
        boost::property_tree::ptree tree;
        boost::property_tree::read_json(kAirline, tree);
        change(tree);
        const std::string path = standIn.file("scenario.json");
        boost::property_tree::write_json(path, tree);
        ASSERT_TRUE(standIn.configure("scenario", path));
    }

    ScopedManualClock clock;
    CSimConnectStandIn standIn{QVL_SIMCONNECT_DIR};
    CClientInterface client;
    LogCapture logs;
};

// --- a full poll across the airline flight matches the model ---

class SimConnectPollTest : public SimConnectAdapterTest, public ::testing::WithParamInterface<int> {};

TEST_P(SimConnectPollTest, EverySnapshotFieldMatchesTheModel)
{
    const int at = GetParam();
    ASSERT_TRUE(standIn.advance(at));
    const SimScenario sc = loadScenario(kAirline);
    CSimulator reference(sc);
    reference.advance(at);
    const SimAircraftState m = reference.state();

    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    ASSERT_TRUE(fs.getEverything());
    ASSERT_GE(fs.getAircraftTanks(), 0);

    expectSnapshotMatchesModel(fs, m, sc);
    EXPECT_NEAR(fs.lEmptyWeight, sc.aircraft.emptyWeightKg, 1.0);
    EXPECT_EQ(fs.lPaused, m.paused ? 1 : 0);
}

// Boarding, take-off roll, climb, cruise, final, roll-out.
INSTANTIATE_TEST_SUITE_P(AirlineFlight, SimConnectPollTest, ::testing::Values(30, 200, 400, 1100, 2310, 2500));

// --- payload stations ---

struct PayloadCase {
    int stations;
    double expectedKg;
};

class SimConnectPayloadTest : public SimConnectAdapterTest, public ::testing::WithParamInterface<PayloadCase> {};

TEST_P(SimConnectPayloadTest, OnlyTheDefinedStationsAreSummed)
{
    useScenario([&](boost::property_tree::ptree& t) {
        boost::property_tree::ptree stations;
        for (int i = 0; i < GetParam().stations; ++i) {
            boost::property_tree::ptree kg;
            kg.put_value(10);
            stations.push_back({"", kg});
        }
        t.put_child("aircraft.payloadStationsKg", stations);
    });
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    ASSERT_TRUE(fs.getEverything());
    EXPECT_DOUBLE_EQ(fs.dPayload, GetParam().expectedKg);
}

INSTANTIATE_TEST_SUITE_P(Stations, SimConnectPayloadTest,
                         ::testing::Values(PayloadCase{70, 640.0}, PayloadCase{64, 640.0}, PayloadCase{3, 30.0},
                                           PayloadCase{0, 0.0}));

// --- the open message identifies the simulator ---

struct IdentityCase {
    const char* name;
    const char* version;
    int expected;
};

class SimConnectIdentityTest : public SimConnectAdapterTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(SimConnectIdentityTest, ApplicationNameAndVersionGiveTheCode)
{
    const IdentityCase& c = GetParam();
    ASSERT_TRUE(standIn.configure("appName", c.name));
    ASSERT_TRUE(standIn.configure("appVersion", c.version));
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    EXPECT_EQ(fs.getSimulatorVersion(), c.expected);
    const std::string unidentified = std::string("Could not identify Sim App (") + c.name + ") Ver (" + c.version + ")";
    EXPECT_EQ(logs.contains(unidentified), c.expected == 0);
    EXPECT_EQ(fs.getSimulatorIdent(), std::string("SC(") + c.name + ")(" + c.version + ")");
}

INSTANTIATE_TEST_SUITE_P(Simulators, SimConnectIdentityTest,
                         ::testing::Values(IdentityCase{"KittyHawk", "11.0", 13}, IdentityCase{"SunRise", "12.0", 14},
                                           IdentityCase{"Microsoft Flight Simulator X", "10.0", 8},
                                           IdentityCase{"microsoft flight simulator x", "10.0", 8},
                                           IdentityCase{"Microsoft Flight Simulator X", "10.1", 0},
                                           IdentityCase{"KittyHawk", "12.0", 0},
                                           IdentityCase{"Lockheed Martin® Prepar3D® v3", "3.4", 10},
                                           IdentityCase{"Lockheed Martin® Prepar3D® v5", "5.3", 12},
                                           IdentityCase{"Lockheed Martin® Prepar3D® v6", "6.0", 17},
                                           IdentityCase{"Lockheed Martin® Prepar3D® v7", "7.0", 0},
                                           IdentityCase{"lockheed martin prepar3d v5", "5.3", 0}));

struct VersionCase {
    const char* simConnect;
    bool accepted;
};

class SimConnectVersionTest : public SimConnectAdapterTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(SimConnectVersionTest, LibraryVersionBelowOneIsRefused)
{
    ASSERT_TRUE(standIn.configure("simConnectVersion", GetParam().simConnect));
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    EXPECT_EQ(fs.checkVersion(), GetParam().accepted);
    EXPECT_EQ(logs.contains("Wrong SimConnect version (Must:1.00 Is:0.90)"), !GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Versions, SimConnectVersionTest,
                         ::testing::Values(VersionCase{"0.9", false}, VersionCase{"1.0", true},
                                           VersionCase{"10.0", true}));

// --- the client's writes reach the simulator ---

TEST_F(SimConnectAdapterTest, SimulationRateStepsAreEventsAndComeBackInTheFrame)
{
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    auto rateFromFrame = [&] {
        standIn.advance(0.1);
        fs.checkFrequently();
        return fs.fSimulationRate;
    };
    // Before the first frame the simulator's rate 1 is assumed.
    fs.setSimulationRate(4);
    EXPECT_FLOAT_EQ(rateFromFrame(), 4.0f);
    fs.setSimulationRate(4);
    fs.setSimulationRate(1);
    EXPECT_FLOAT_EQ(rateFromFrame(), 1.0f);
    std::vector<double> rates;
    for (const SimRecordLine& l : record().linesOf("simRate"))
        rates.push_back(l.value);
    // Two increases, none for 4 at 4, two decreases.
    EXPECT_EQ(rates, (std::vector<double>{2.0, 4.0, 2.0, 1.0}));
}

TEST_F(SimConnectAdapterTest, EveryWriteReachesTheSimulator)
{
    ASSERT_TRUE(standIn.configure("saveDir", standIn.file("")));
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    fs.setTextOutput(true);
    ASSERT_GT(fs.getAircraftTanks(), 0);
    fs.distributeFuel(5000);
    EXPECT_EQ(fs.setAircraftTanks(), 1);
    // The fractions written stay in the snapshot, as both bridges keep them.
    for (int i = 0; i < 11; ++i)
        EXPECT_NEAR(fs.fTankFill[i] * fs.fTankCapacity[i], fs.fTankLevel[i], 1.0) << "tank " << i;
    EXPECT_NEAR(fs.getAircraftTanks(), 5000, 2);
    fs.failEngine(1, false);
    fs.applyFailure(6);
    fs.pauseSimulator();
    EXPECT_TRUE(fs.saveFlight(3));

    const CSimRecordFile r = record();
    ASSERT_EQ(r.linesOf("disableSlew").size(), 1u) << "slew is forbidden at connect";
    EXPECT_FALSE(r.linesOf("tank").empty());
    ASSERT_EQ(r.linesOf("engineFailure").size(), 1u);
    EXPECT_EQ(r.linesOf("engineFailure")[0].value, 2.0);
    ASSERT_EQ(r.linesOf("text").size(), 1u);
    EXPECT_EQ(r.linesOf("text")[0].text, "Failure: Engine 2 on fire!");
    EXPECT_EQ(r.linesOf("text")[0].value, 10.0);
    EXPECT_EQ(r.linesOf("gearHandle").size(), 1u);
    EXPECT_EQ(r.linesOf("pause").size(), 1u);
    ASSERT_EQ(r.linesOf("save").size(), 1u);
    EXPECT_EQ(r.linesOf("save")[0].text, "qvl_autosave.3.flt");
    EXPECT_TRUE(std::filesystem::exists(standIn.file("qvl_autosave.3.flt")));
}

// --- the simulator clock ---

TEST_F(SimConnectAdapterTest, FlightTimeRunsOnThroughMidnight)
{
    useScenario([](boost::property_tree::ptree& t) { t.put("start.utc", "2026-06-01T23:59:50"); });
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    ASSERT_TRUE(fs.getEverything());
    EXPECT_STREQ(fs.szZuluTime, "2359");
    ASSERT_TRUE(standIn.advance(20.0));
    ASSERT_TRUE(fs.getEverything());
    EXPECT_STREQ(fs.szZuluTime, "0000");
    EXPECT_NEAR(fs.dFlightTime, 20.0, 0.2);
    EXPECT_TRUE(logs.contains("FlightTimer reinitialized: InitValue = "));
    EXPECT_FALSE(logs.contains("FlightTimer decreased"));
}

TEST_F(SimConnectAdapterTest, ATimeJumpIsNotCountedAndLeavesTheLastAltitudeAlone)
{
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    ASSERT_TRUE(fs.getEverything());
    fs.dLastAltitude = 1234.5; // the cheat detector's, from its last check
    ASSERT_TRUE(standIn.advance(700.0));
    ASSERT_TRUE(fs.getEverything());
    EXPECT_TRUE(logs.contains("FlightTimer raised too fast: InitValue += "));
    EXPECT_LT(fs.dFlightTime, 1.0);
    EXPECT_DOUBLE_EQ(fs.dLastAltitude, 1234.5) << "an altitude jump with the time jump stays visible";
}

// --- pushed events ---

TEST_F(SimConnectAdapterTest, CrashEventSetsTheCrashFlag)
{
    ASSERT_TRUE(standIn.configure("scenario", "crash"));
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    fs.checkFrequently();
    EXPECT_EQ(fs.lCrashed, 0);
    for (int second = 0; second < 1800 && fs.lCrashed == 0; ++second) {
        standIn.advance(1.0);
        fs.checkFrequently();
    }
    EXPECT_EQ(fs.lCrashed, 1);
}

// --- failures ---

TEST_F(SimConnectAdapterTest, SilentSimulatorFailsTheCallAfterOneHundredPasses)
{
    ASSERT_TRUE(standIn.configure("fault", "never-answer"));
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    const std::int64_t before = clock->nowMs();
    EXPECT_FALSE(fs.getEverything());
    EXPECT_EQ(clock->nowMs() - before, CFlightSimulatorInterfaceUsingSdk::kWaitPasses *
                                           static_cast<std::int64_t>(CFlightSimulatorInterfaceUsingSdk::kWaitPassMs));
    EXPECT_TRUE(logs.contains("Receiving requested data from SimConnect failed: ID = 0, Type = 8"));
    EXPECT_EQ(fs.getAircraftTanks(), -1);
    EXPECT_TRUE(fs.isConnected()) << "a missing answer only fails the operation";
}

TEST_F(SimConnectAdapterTest, StandInWithoutAScenarioRefusesEveryConnection)
{
    ASSERT_TRUE(standIn.configure("scenario", ""));
    CFlightSimulatorInterfaceUsingSdk fs(client);
    EXPECT_FALSE(fs.connect());
    EXPECT_TRUE(logs.contains("Connecting to FS via SimConnect failed!"));
}

TEST_F(SimConnectAdapterTest, ARefusedRequestIsALostConnectionAndConnectBringsItBack)
{
    CFlightSimulatorInterfaceUsingSdk fs(client);
    ASSERT_TRUE(fs.connect());
    ASSERT_TRUE(fs.getEverything());
    ASSERT_TRUE(standIn.configure("fault", "refuse-requests"));
    EXPECT_FALSE(fs.getEverything());
    EXPECT_FALSE(fs.isConnected());
    EXPECT_TRUE(logs.contains("Disconnected from FS!"));
    EXPECT_EQ(fs.getAircraftTanks(), -1) << "nothing is asked of a closed connection";
    ASSERT_TRUE(standIn.configure("fault", ""));
    ASSERT_TRUE(fs.connect());
    EXPECT_TRUE(fs.isConnected());
    EXPECT_TRUE(fs.getEverything());
    EXPECT_GT(fs.getAircraftTanks(), 0);
}

struct ChoiceCase {
    const char* name;
    const char* folder; // nullptr: an empty folder
    const char* setting;
    const char* expectedBridge;
    const char* expectedLine;
    bool connects;
};

class SimulatorChoiceTest : public ::testing::TestWithParam<ChoiceCase> {
protected:
    ScopedManualClock clock;
    CFsuipcTestDirectory fsuipc;
    LogCapture logs;
    CClientInterface client;
};

TEST_P(SimulatorChoiceTest, SettingPicksTheBridge)
{
    const ChoiceCase& c = GetParam();
    CSimConnectStandIn standIn(c.folder != nullptr ? c.folder : fsuipc.path());
    const auto sim = createSimulatorInterface(c.setting, client);
    ASSERT_NE(sim, nullptr);
    EXPECT_EQ(sim->getInterfaceName(), c.expectedBridge);
    if (c.expectedLine != nullptr) {
        EXPECT_TRUE(logs.contains(c.expectedLine)) << c.expectedLine;
    }
    // A bridge chosen by name stays even when it cannot connect.
    EXPECT_EQ(sim->connect(), c.connects);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SimulatorChoiceTest,
    ::testing::Values(
        ChoiceCase{"AutomaticWithLibrary", QVL_SIMCONNECT_DIR, "Automatic", "SimConnect",
                   "Successfully connected to FS via SimConnect", true},
        ChoiceCase{"AutomaticWithoutLibrary", nullptr, "Automatic", "FSUIPC", "Couldn't load SimConnect.dll", false},
        ChoiceCase{"LowerCaseIsAutomatic", nullptr, "fsuipc", "FSUIPC", "Couldn't load SimConnect.dll", false},
        ChoiceCase{"AutomaticWithIncompleteLibrary", QVL_SIMCONNECT_INCOMPLETE_DIR, "Automatic", "FSUIPC",
                   "SimConnect.dll lacks the function SimConnect_FlightSave", false},
        ChoiceCase{"SimConnectWithoutLibrary", nullptr, "SimConnect", "SimConnect", nullptr, false},
        ChoiceCase{"Fsuipc", QVL_SIMCONNECT_DIR, "FSUIPC", "FSUIPC", nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

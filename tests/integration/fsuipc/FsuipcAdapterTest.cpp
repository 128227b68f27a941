// The adapter against qvl-sim: a full poll matches the model, the conversions,
// the fuel round trip, every write the client makes, and version detection.
#include "Simulator.h"
#include "integration/SnapshotExpectations.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FsuipcTestDirectory.h"
#include "support/SimProcess.h"
#include "support/SimRecordFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

constexpr double kFeetPerMetre = 3.28083;

SimScenario loadScenario(const std::string& name)
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/" + name + ".json", s, error)) << error;
    return s;
}

class FsuipcAdapterTest : public ::testing::Test {
protected:
    void TearDown() override { CFsuipcLink::instance().close(); }

    std::unique_ptr<CSimProcess> startSim(const std::string& scenario, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"run", scenario, "--time-scale", "0", "--record", dir.file("record")};
        args.insert(args.end(), extra.begin(), extra.end());
        auto sim = std::make_unique<CSimProcess>(CSimProcess::programPath(QVL_BINARY_DIR), args);
        EXPECT_TRUE(sim->start());
        return sim;
    }

    CSimRecordFile record() const { return CSimRecordFile(dir.file("record")); }

    CFsuipcTestDirectory dir;
    CClientInterface client;
};

// --- a full poll across the airline flight matches the model ---

class FsuipcPollTest : public FsuipcAdapterTest, public ::testing::WithParamInterface<int> {};

TEST_P(FsuipcPollTest, EverySnapshotFieldMatchesTheModel)
{
    const int at = GetParam();
    auto sim = startSim("airline_eddf_eddm", {"--start-at", std::to_string(at)});
    CSimulator reference(loadScenario("airline_eddf_eddm"));
    reference.advance(at);
    const SimAircraftState m = reference.state();
    const SimScenario sc = loadScenario("airline_eddf_eddm");

    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.isConnected());
    ASSERT_TRUE(fs.getEverything());
    ASSERT_GE(fs.getAircraftTanks(), 0);

    expectSnapshotMatchesModel(fs, m, sc);
    EXPECT_NEAR(fs.lTouchdownVerticalSpeed, m.touchdownVsFpm, 1.0);
    EXPECT_FLOAT_EQ(fs.fSimulationRate, static_cast<float>(m.simRate));
    EXPECT_EQ(fs.lPaused, m.paused ? 1 : 0);
    EXPECT_EQ(fs.lCrashed, m.crashed ? 1 : 0);
    double payload = 0.0;
    for (double kg : sc.aircraft.payloadStationsKg)
        payload += kg;
    EXPECT_NEAR(fs.dPayload, payload, 1.0);
    // Each station is truncated to whole kg on its own.
    EXPECT_NEAR(fs.lEmptyWeight, sc.aircraft.emptyWeightKg, 1.0 + sc.aircraft.payloadStationsKg.size());
    EXPECT_EQ(fs.recentVerticalSpeeds.values[0], fs.lVerticalSpeed);
}

// Boarding, take-off roll, climb, cruise, descent, final, roll-out, parked.
INSTANTIATE_TEST_SUITE_P(AirlineFlight, FsuipcPollTest,
                         ::testing::Values(30, 200, 400, 700, 1100, 1500, 2230, 2310, 2500));

// --- conversions of raw values the model would never produce ---

struct Pinned {
    std::uint32_t offset;
    std::vector<std::uint8_t> bytes;
};

template <typename T> Pinned pin(std::uint32_t offset, T value)
{
    std::vector<std::uint8_t> b(sizeof value);
    std::memcpy(b.data(), &value, sizeof value);
    return Pinned{offset, b};
}

class FsuipcInProcessTest : public FsuipcAdapterTest {
protected:
    void SetUp() override
    {
        sim = std::make_unique<CSimulator>(loadScenario("short_circuit"));
        ASSERT_TRUE(sim->startServer("UIPCMAIN", dir.path()));
    }
    void TearDown() override
    {
        CFsuipcLink::instance().close();
        sim.reset();
    }
    std::unique_ptr<CSimulator> sim;
};

TEST_F(FsuipcInProcessTest, LowPressureAltitudeIsRaisedToGroundPlusHeight)
{
    // 100 ft pressure altitude over ground at 1000 ft, 50 ft above it.
    sim->pin(0x34B0, pin(0x34B0, 100.0 / kFeetPerMetre).bytes);
    sim->pin(0x0020, pin(0x0020, static_cast<std::int32_t>(std::ceil(1000.0 / kFeetPerMetre * 256.0))).bytes);
    sim->pin(0x31E4, pin(0x31E4, static_cast<std::int32_t>(std::ceil(50.0 / kFeetPerMetre * 65536.0))).bytes);
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    EXPECT_EQ(fs.lGroundAltitude, 1000);
    EXPECT_EQ(fs.lRadarAltitude, 50);
    EXPECT_DOUBLE_EQ(fs.dAltitude, 1050.0);
}

struct ConversionCase {
    const char* name;
    Pinned raw;
    double CFlightSimulatorObjects::*field;
    std::int32_t CFlightSimulatorObjects::*intField;
    double expected;
};

class FsuipcConversionTest : public FsuipcInProcessTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(FsuipcConversionTest, RawValueBecomesSnapshotUnit)
{
    const ConversionCase& c = GetParam();
    sim->pin(c.raw.offset, c.raw.bytes);
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    const double got = c.field != nullptr ? fs.*(c.field) : static_cast<double>(fs.*(c.intField));
    EXPECT_NEAR(got, c.expected, 1e-6) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Units, FsuipcConversionTest,
    ::testing::Values(ConversionCase{"west heading", pin(0x0580, std::int32_t{-1073741824}),
                                     &CFlightSimulatorObjects::dHeading, nullptr, 270.0},
                      ConversionCase{"north heading", pin(0x0580, std::int32_t{0}), &CFlightSimulatorObjects::dHeading,
                                     nullptr, 0.0},
                      ConversionCase{"100 m/s ground speed", pin(0x02B4, std::int32_t{100 * 65536}), nullptr,
                                     &CFlightSimulatorObjects::lGroundSpeed, 194.0},
                      ConversionCase{"5 m/s sink", pin(0x02C8, std::int32_t{-5 * 256}), nullptr,
                                     &CFlightSimulatorObjects::lVerticalSpeed, -984.0},
                      ConversionCase{"250.9 kts", pin(0x02BC, std::int32_t{32115}), nullptr,
                                     &CFlightSimulatorObjects::lIndicatedAirspeed, 250.0},
                      ConversionCase{"south latitude", pin(0x0560, std::int64_t{-10001750LL * 65536 * 65536 / 90 * 45}),
                                     &CFlightSimulatorObjects::dLatitude, nullptr, -45.0},
                      ConversionCase{"west longitude", pin(0x0568, std::int64_t{-4611686018427387904LL}),
                                     &CFlightSimulatorObjects::dLongitude, nullptr, -90.0}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return n;
    });

TEST_F(FsuipcInProcessTest, SlewFoundOnIsSwitchedOffWithinTheSamePoll)
{
    sim->modify([](CAircraftModel& m) { m.state().slew = true; });
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    EXPECT_FALSE(sim->state().slew);
    EXPECT_EQ(sim->record().eventsOf("slewOff").size(), 1u);
}

TEST_F(FsuipcInProcessTest, LandingLightOverrideIgnoresTheSimulatorSwitch)
{
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    ASSERT_FALSE(fs.bLandingLights);
    fs.toggleLandingLights();
    fs.toggleLandingLights();
    sim->modify([](CAircraftModel& m) { m.state().landingLights = true; });
    ASSERT_TRUE(fs.getEverything());
    EXPECT_FALSE(fs.bLandingLights);
}

TEST_F(FsuipcInProcessTest, PayloadStationCountBeyondTheBlockIsLimited)
{
    sim->pin(0x13FC, pin(0x13FC, std::int32_t{100000}).bytes);
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    EXPECT_NEAR(fs.dPayload, 210.0, 1.0); // the two real stations; the rest of the block is empty
}

// --- fuel ---

TEST_F(FsuipcAdapterTest, DistributedFuelReadsBackPerTank)
{
    auto sim = startSim("airline_eddf_eddm");
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_GE(fs.getAircraftTanks(), 0);
    fs.distributeFuel(9000);
    float wanted[CFlightSimulatorObjects::kTankCount];
    std::memcpy(wanted, fs.fTankLevel, sizeof wanted);
    ASSERT_EQ(fs.setAircraftTanks(), 1);
    EXPECT_NEAR(fs.getAircraftTanks(), 9000, 2);
    for (int i = 0; i < CFlightSimulatorObjects::kTankCount; ++i)
        EXPECT_NEAR(fs.fTankLevel[i], wanted[i], 1.0) << "tank " << i;
    EXPECT_EQ(record().linesOf("tank").size(), 11u);
}

TEST_F(FsuipcAdapterTest, NoFuelWritesNothingAndZeroCapacityTanksAreWrittenEmpty)
{
    auto sim = startSim("airline_eddf_eddm");
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_GE(fs.getAircraftTanks(), 0);
    fs.distributeFuel(0);
    EXPECT_EQ(fs.setAircraftTanks(), -1);
    EXPECT_TRUE(record().linesOf("tank").empty());

    fs.distributeFuel(4000);
    fs.fTankLevel[CFlightSimulatorObjects::TankLeftAux] = 500.0f; // this aircraft has no such tank
    ASSERT_EQ(fs.setAircraftTanks(), 1);
    bool sawAux = false;
    for (const SimRecordLine& l : record().linesOf("tank")) {
        if (l.slot == CFlightSimulatorObjects::TankLeftAux) {
            sawAux = true;
            EXPECT_EQ(l.value, 0.0);
        }
    }
    EXPECT_TRUE(sawAux);
}

// --- what the client writes, as the simulator saw it ---

TEST_F(FsuipcAdapterTest, EveryWriteReachesTheSimulator)
{
    auto sim = startSim("short_circuit", {"--save-dir", dir.path()});
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    fs.setTextOutput(false);
    EXPECT_TRUE(fs.showText("not shown", 5, false));
    EXPECT_TRUE(fs.showText("Welcome aboard", 7, true));
    EXPECT_TRUE(fs.pauseSimulator());
    EXPECT_TRUE(fs.saveFlight(2));
    EXPECT_TRUE(fs.failEngine(2, true));
    EXPECT_TRUE(fs.failEngine(7, false));
    EXPECT_TRUE(fs.applyFailure(5));
    EXPECT_TRUE(fs.applyFailure(6));
    EXPECT_TRUE(fs.applyFailure(3));
    EXPECT_TRUE(fs.setSimulationRate(4));
    EXPECT_TRUE(fs.disableSlew());
    fs.setTextOutput(true);
    EXPECT_TRUE(fs.failEngine(0, false));

    const CSimRecordFile r = record();
    const auto texts = r.linesOf("text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Welcome aboard");
    EXPECT_EQ(texts[0].value, 7.0);
    EXPECT_EQ(texts[1].text, "Failure: Engine 1 disabled!");
    EXPECT_EQ(texts[1].value, 10.0);
    EXPECT_EQ(r.linesOf("pause").size(), 1u);
    ASSERT_EQ(r.linesOf("save").size(), 1u);
    EXPECT_EQ(r.linesOf("save")[0].text, "qvl_autosave.2.flt");
    EXPECT_TRUE(std::ifstream(dir.file("qvl_autosave.2.flt")).good());
    const auto engines = r.linesOf("engineFailure");
    ASSERT_EQ(engines.size(), 2u);
    EXPECT_EQ(engines[0].value, 4.0);
    EXPECT_EQ(engines[1].value, 1.0);
    const auto switches = r.linesOf("failureSwitch");
    ASSERT_EQ(switches.size(), 2u);
    EXPECT_EQ(switches[0].value, 1.0);
    EXPECT_EQ(switches[1].value, 4.0);
    ASSERT_EQ(r.linesOf("simRate").size(), 1u);
    EXPECT_EQ(r.linesOf("simRate")[0].value, 4.0);
    ASSERT_EQ(r.linesOf("disableSlew").size(), 1u);
    EXPECT_EQ(r.linesOf("disableSlew")[0].value, static_cast<double>(0xFF001800u));
    // And the simulator acts on them: paused, at rate 4.
    ASSERT_TRUE(fs.getEverything());
    EXPECT_EQ(fs.lPaused, 1);
    EXPECT_FLOAT_EQ(fs.fSimulationRate, 4.0f);
}

TEST_F(FsuipcAdapterTest, SlewFoundOnInAnotherProcessIsSwitchedOffWithinThePoll)
{
    // Find when the scenario's pilot switches slew on, and start the simulator there.
    CSimulator reference(loadScenario("slew_jump"));
    int at = 0;
    while (!reference.state().slew && at < 4 * 3600) {
        reference.advance(1.0);
        ++at;
    }
    ASSERT_TRUE(reference.state().slew);
    auto sim = startSim("slew_jump", {"--start-at", std::to_string(at + 2)});
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    ASSERT_EQ(record().linesOf("slewOff").size(), 1u);
    ASSERT_TRUE(fs.getEverything());
    EXPECT_EQ(record().linesOf("slewOff").size(), 1u); // already off: nothing more to write
}

TEST_F(FsuipcAdapterTest, LongTextIsCutToTheField)
{
    auto sim = startSim("short_circuit");
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    const std::string longText(300, 'x');
    EXPECT_TRUE(fs.showText(longText, 10, true));
    const auto texts = record().linesOf("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, std::string(127, 'x'));
}

// --- version detection ---

struct VersionCase {
    const char* fsuipcVersion;
    const char* simVersion;
    const char* subVersion;
    int expected;
    const char* ident;
};

class FsuipcVersionTest : public FsuipcAdapterTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(FsuipcVersionTest, SimulatorCodeFromTheVersionWords)
{
    const VersionCase& c = GetParam();
    auto sim = startSim("short_circuit", {"--fsuipc-version", c.fsuipcVersion, "--sim-version", c.simVersion,
                                          "--sub-version", c.subVersion});
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    EXPECT_EQ(fs.getSimulatorVersion(), c.expected);
    EXPECT_EQ(fs.getSimulatorIdent(), c.ident);
}

INSTANTIATE_TEST_SUITE_P(Table, FsuipcVersionTest,
                         ::testing::Values(VersionCase{"0x50000000", "8", "0", 16, "FC (5000)(8)(0)"},
                                           VersionCase{"0x50000000", "7", "0", 15, "FC (5000)(7)(0)"},
                                           VersionCase{"0x70100000", "11", "55", 12, "FC (7010)(11)(55)"},
                                           VersionCase{"0x70100000", "11", "60", 17, "FC (7010)(11)(60)"},
                                           VersionCase{"0x70100000", "11", "45", 11, "FC (7010)(11)(45)"},
                                           VersionCase{"0x4a2b0000", "8", "0", 8, "FC (4a2b)(8)(0)"}));

TEST_F(FsuipcAdapterTest, VersionCheckReadsTheHexTextAsDecimal)
{
    auto sim = startSim("short_circuit", {"--fsuipc-version", "0x49740000", "--sim-version", "8"});
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    std::snprintf(client.versions[CClientInterface::VersionFsuipcFsx], 32, "4974");
    EXPECT_EQ(fs.getRequiredVersionText(), "4974");
    EXPECT_TRUE(fs.checkVersion());
    std::snprintf(client.versions[CClientInterface::VersionFsuipcFsx], 32, "4975");
    EXPECT_FALSE(fs.checkVersion());
}

} // namespace

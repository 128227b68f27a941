// The cheat detector against a scripted simulator and the real user-interface
// hub: what is undone, what aborts the flight, and what the pilot is told.
#include "monitor/CheatDetector.h"
#include "core/FixedText.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double kNm = 1.0 / 60.0; // one nautical mile of latitude

class CheatDetectorTest : public ::testing::Test {
protected:
    FlightFixture fx;
    std::unique_ptr<CCheatDetector> detector;
    ScriptedSimulator& sim = *fx.sim;
    CClientInterface& client = fx.ui->getClient();

    void SetUp() override
    {
        CCheatDetector::resetProcessValues();
        detector = std::make_unique<CCheatDetector>(fx.sim, *fx.ui);
        fx.startFlying();
        client.route.r_Simrate = 4;
        // As the flight start leaves it: 6000 kg in the mains, kept as the accepted levels.
        setFuel(6000);
        sim.getAircraftTanks();
        sim.lFuelAtStart = 6000;
        sim.nMinFuel = -1;
        keepCurrentLevels();
        sim.dLatitude = FlightFixture::kDepLat;
        sim.dLongitude = FlightFixture::kDepLon;
        sim.fSimulationRate = 1.0f;
        checkAfter(1000);
    }

    void setFuel(float kg)
    {
        for (float& level : sim.state.tankLevel)
            level = 0.0f;
        sim.state.tankLevel[1] = kg / 2;
        sim.state.tankLevel[2] = kg / 2;
    }
    void keepCurrentLevels() { sim.keepTankLevels(); }
    // One poll of the tanks and one detector step, ms after the last one.
    void checkAfter(std::int64_t ms)
    {
        fx.clock->advance(ms);
        sim.getAircraftTanks();
        detector->check();
    }
    float stateFuel() const { return sim.state.tankLevel[1] + sim.state.tankLevel[2]; }
    // The abort's own box; the fresh login after it may show one of its own.
    std::vector<HeadlessWindow::ShownBox> abortBoxes() const
    {
        std::vector<HeadlessWindow::ShownBox> found;
        for (const auto& box : fx.window.boxes)
            if (box.title == "Flight Aborted")
                found.push_back(box);
        return found;
    }
    int aborts() const { return static_cast<int>(abortBoxes().size()); }
    std::string lastAbort() const { return aborts() == 0 ? "" : abortBoxes().back().text; }
};

// --- fuel ---

TEST_F(CheatDetectorTest, TenRefuelsAreUndoneAndTheEleventhAborts)
{
    for (int i = 1; i <= 10; ++i) {
        setFuel(7000);
        checkAfter(1000);
        EXPECT_EQ(sim.nRefuelCount, i);
        EXPECT_FLOAT_EQ(stateFuel(), 6000.0f) << "tanks written back, refuel " << i;
        EXPECT_EQ(aborts(), 0);
    }
    setFuel(7000);
    checkAfter(1000);
    EXPECT_EQ(aborts(), 1);
    EXPECT_EQ(lastAbort(), CCheatDetector::kRefuelText);
    EXPECT_GE(fx.logs.count("Inflight refueling #10: "), 1);
    EXPECT_TRUE(fx.logs.contains("ABORT ABORTED More than"));
}

TEST_F(CheatDetectorTest, ReadOnlyFuelIsNotWrittenBack)
{
    fx.ui->fuelMethod = 2;
    setFuel(7000);
    checkAfter(1000);
    EXPECT_EQ(sim.nRefuelCount, 1);
    EXPECT_FLOAT_EQ(stateFuel(), 7000.0f);
    EXPECT_EQ(aborts(), 0);
}

struct StartFuelCase {
    float fuel;
    bool finding;
};

class StartFuelTest : public CheatDetectorTest, public ::testing::WithParamInterface<StartFuelCase> {};

TEST_P(StartFuelTest, MoreThanTenPercentAboveTheStartFuel)
{
    // Big tanks, so only the start-fuel rule can see 10 % more.
    for (float& c : sim.state.tankCapacity)
        c = 20000.0f;
    setFuel(GetParam().fuel);
    checkAfter(1000);
    EXPECT_EQ(sim.nRefuelCount, GetParam().finding ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, StartFuelTest,
                         ::testing::Values(StartFuelCase{6600, false}, StartFuelCase{6601, true},
                                           StartFuelCase{6500, false}));

TEST_F(CheatDetectorTest, OverweightCountsAsAFuelFindingOnEveryCheck)
{
    // Booked load 150*102 + 2000 + 42600 = 59900 kg; MTOW 79000 leaves 19100 kg of fuel.
    for (float& c : sim.state.tankCapacity)
        c = 20000.0f;
    sim.lFuelAtStart = 30000;
    setFuel(19101);
    sim.getAircraftTanks();
    sim.nMinFuel = 19101;
    keepCurrentLevels();
    for (int i = 1; i <= 3; ++i) {
        checkAfter(1000);
        EXPECT_EQ(sim.nRefuelCount, i);
    }
    EXPECT_TRUE(fx.logs.contains("ABORT ABORTED Flight is overweight 1"));
    EXPECT_EQ(detector->getAbortText(), CCheatDetector::kOverweightText);

    setFuel(19100);
    sim.getAircraftTanks();
    keepCurrentLevels();
    checkAfter(1000);
    EXPECT_EQ(sim.nRefuelCount, 3);
}

TEST_F(CheatDetectorTest, BurningWithSloshingIsNeverARefuel)
{
    float fuel = 6000.0f;
    for (int i = 0; i < 200; ++i) {
        fuel -= 10.0f;
        setFuel(i % 3 == 0 ? fuel + 8.0f : fuel);
        checkAfter(1000);
    }
    EXPECT_EQ(sim.nRefuelCount, 0);
    EXPECT_EQ(aborts(), 0);
    EXPECT_LT(sim.nMinFuel, 4100);
}

TEST_F(CheatDetectorTest, RefuelBelowTheStartFuelIsFoundByTheTankCapacity)
{
    // Burn to 4000 kg, then 1500 kg appear: still below the start fuel, but more
    // than a twentieth of the 17200 kg the tanks hold above the recent levels.
    for (float fuel = 5960.0f; fuel >= 4000.0f; fuel -= 40.0f) {
        setFuel(fuel);
        checkAfter(1000);
    }
    ASSERT_EQ(sim.nRefuelCount, 0);
    setFuel(5500);
    checkAfter(1000);
    EXPECT_EQ(sim.nRefuelCount, 1);
    EXPECT_LT(stateFuel(), 4500.0f);
}

TEST_F(CheatDetectorTest, InvalidTankReadingSkipsTheFuelRule)
{
    sim.getAircraftTanks();
    sim.fTankLevel[3] = std::numeric_limits<float>::quiet_NaN();
    sim.fTankLevel[1] = 9000.0f;
    fx.clock->advance(1000);
    EXPECT_FALSE(detector->checkFuel());
    EXPECT_EQ(sim.nRefuelCount, 0);
}

// --- position and altitude ---

struct JumpCase {
    float rate;
    int ms;
    double nm;
    bool aborts;
};

class PositionJumpTest : public CheatDetectorTest, public ::testing::WithParamInterface<JumpCase> {};

TEST_P(PositionJumpTest, LimitFollowsTimeAndRateWithTwelveMilesAtLeast)
{
    const JumpCase& c = GetParam();
    sim.fSimulationRate = c.rate;
    checkAfter(50); // the detector now knows the rate
    sim.dLatitude += c.nm * kNm;
    checkAfter(c.ms);
    EXPECT_EQ(aborts(), c.aborts ? 1 : 0);
    if (c.aborts) {
        EXPECT_EQ(lastAbort(), CCheatDetector::kPositionText);
        EXPECT_TRUE(fx.logs.contains("Inflight position change: "));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PositionJumpTest,
                         ::testing::Values(JumpCase{2, 100, 11.9, false}, JumpCase{2, 100, 13, true},
                                           JumpCase{1, 1000, 23.9, false}, JumpCase{1, 1000, 24.5, true},
                                           JumpCase{4, 1000, 95, false}, JumpCase{4, 1000, 97, true},
                                           JumpCase{0.5f, 1000, 23.9, false})); // never below real time

TEST_F(CheatDetectorTest, ZeroPositionIsReplacedByTheLastOne)
{
    sim.dLatitude = 0.0;
    sim.dLongitude = 0.0;
    checkAfter(100);
    EXPECT_EQ(aborts(), 0);
    EXPECT_DOUBLE_EQ(sim.dLatitude, FlightFixture::kDepLat);
    EXPECT_DOUBLE_EQ(sim.dLongitude, FlightFixture::kDepLon);
}

TEST_F(CheatDetectorTest, FirstCheckOfANewFlightHasNoPreviousPosition)
{
    sim.resetSnapshot(); // as a new flight starts
    sim.nMinFuel = -1;
    sim.dLatitude = FlightFixture::kArrLat;
    sim.dLongitude = FlightFixture::kArrLon;
    checkAfter(100);
    EXPECT_EQ(aborts(), 0);
    sim.dLatitude += 20 * kNm;
    checkAfter(100);
    EXPECT_EQ(aborts(), 1);
}

TEST_F(CheatDetectorTest, ImpossibleAltitudeOrClockStepSkipsThePositionRules)
{
    sim.lRadarAltitude = 200000;
    sim.dLatitude += 100 * kNm;
    checkAfter(100);
    EXPECT_EQ(aborts(), 0);
    EXPECT_TRUE(fx.logs.contains("Impossible altitude 200000.00 stoping check"));
    sim.lRadarAltitude = 0;
    fx.clock->set(fx.clock->nowMs() - 5000); // the clock stepped back
    sim.getAircraftTanks();
    detector->check();
    EXPECT_EQ(aborts(), 0);
    EXPECT_TRUE(fx.logs.contains("nTimeDiff: -"));
}

struct AltitudeCase {
    double pressureAltitude;
    double flightSeconds;
    bool aborts;
};

class AltitudeJumpTest : public CheatDetectorTest, public ::testing::WithParamInterface<AltitudeCase> {};

TEST_P(AltitudeJumpTest, NeedsTheRadarAndThePressureAltitudeToJump)
{
    sim.lGroundAltitude = 0;
    sim.lRadarAltitude = 10000;
    sim.dAltitude = 10000;
    sim.dFlightTime = 100.0;
    checkAfter(1000);
    sim.lRadarAltitude = 12500;
    sim.dAltitude = GetParam().pressureAltitude;
    sim.dFlightTime = 100.0 + GetParam().flightSeconds;
    checkAfter(1000);
    EXPECT_EQ(aborts(), GetParam().aborts ? 1 : 0);
    if (GetParam().aborts) {
        EXPECT_EQ(lastAbort(), CCheatDetector::kAltitudeText);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, AltitudeJumpTest,
                         ::testing::Values(AltitudeCase{12500, 1.0, true}, AltitudeCase{10000, 1.0, false},
                                           AltitudeCase{11900, 1.0, false},
                                           AltitudeCase{12500, 2.0, false},  // 1250 ft/s: a climb, not a jump
                                           AltitudeCase{12500, 0.0, true})); // no sim time: taken as 0.1 s

// --- simulation rate ---

TEST_F(CheatDetectorTest, RateAboveTheBookingIsSetBackAndThe65thCorrectionAborts)
{
    for (int i = 1; i <= 64; ++i) {
        sim.fSimulationRate = 8.0f;
        checkAfter(100);
        ASSERT_EQ(aborts(), 0) << i;
        EXPECT_EQ(sim.state.simulationRate, 4.0f);
    }
    EXPECT_EQ(client.report.Simrate, 4); // reported as the booked limit
    sim.fSimulationRate = 8.0f;
    checkAfter(100);
    EXPECT_EQ(aborts(), 1);
    EXPECT_EQ(lastAbort(), "The maximum allowed simrate has been exceeded too many times, flight aborted!");
}

TEST_F(CheatDetectorTest, FlightTypeTwoIsNeverCorrected)
{
    copyText(client.flightLog.l_FlightType, "2");
    for (int i = 0; i < 70; ++i) {
        sim.fSimulationRate = 8.0f;
        checkAfter(100);
    }
    EXPECT_EQ(aborts(), 0);
    EXPECT_EQ(detector->getSimRateCorrections(), 0);
    EXPECT_EQ(client.report.Simrate, 8);
}

TEST_F(CheatDetectorTest, MissingRateLimitMeansRealTime)
{
    client.route.r_Simrate = 0;
    sim.fSimulationRate = 1.0f;
    checkAfter(100);
    EXPECT_EQ(detector->getSimRateCorrections(), 0);
    sim.fSimulationRate = 2.0f;
    checkAfter(100);
    EXPECT_EQ(sim.state.simulationRate, 1.0f);
}

TEST_F(CheatDetectorTest, RateChangesAreShownInTheSimulator)
{
    sim.texts.clear();
    sim.fSimulationRate = 0.5f;
    checkAfter(100);
    sim.fSimulationRate = 4.0f;
    checkAfter(100);
    sim.fSimulationRate = 4.0f;
    checkAfter(100);
    ASSERT_EQ(sim.texts.size(), 2u);
    EXPECT_EQ(sim.texts[0], "Sim Rate 0.50x");
    EXPECT_EQ(sim.texts[1], "Sim Rate 4x");
}

} // namespace

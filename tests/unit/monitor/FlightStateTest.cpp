// The phase machine on hand-set snapshots: transitions at and just past their
// thresholds, touchdown scoring, crash kinds and the phase rules.
#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A fixture whose snapshot is set directly; steps run the phase machine and,
// where a test needs the page effects, the user interface's flight step.
class PhaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.startFlying();
        f.sim->holdSnapshot = true;
    }

    CFlightSimulatorInterface& snap() { return *f.sim; }
    CFlightState& machine() { return f.ui->getFlightState(); }
    CReport& report() { return f.ui->getReport(); }

    void inPhase(int phase) { machine().setPhase(phase); }
    void airborne(int height, int vs)
    {
        snap().bOnGround = false;
        snap().lRadarAltitude = height;
        snap().dAltitude = height + 100.0;
        snap().lVerticalSpeed = vs;
    }
    // Puts the aircraft away from both airports (neither is within 5 nm),
    // after a climb out of the start area, so that ending the flight is allowed.
    void enRoute()
    {
        snap().lAbove500Reported = 1;
        snap().lLeftStartArea = 1;
        snap().dLatitude = 51.0;
        snap().dLongitude = 3.0;
        snap().dStartLatitude = FlightFixture::kDepLat;
        snap().dStartLongitude = FlightFixture::kDepLon;
    }
    void northOf(double lat, double lon, double nm)
    {
        snap().dLatitude = lat + nm / 60.0;
        snap().dLongitude = lon;
    }
    bool step() { return machine().update(); }
    void stepFor(std::int64_t ms, std::int64_t every = 500)
    {
        for (std::int64_t t = 0; t < ms; t += every) {
            f.clock->advance(every);
            step();
        }
    }
    // A touchdown scored as the driver would see it: the ring holds the last polls.
    void touchDownAt(int vs)
    {
        snap().recentVerticalSpeeds.clear();
        for (int i = 0; i < 3; ++i)
            snap().recentVerticalSpeeds.push(vs);
        snap().bOnGround = true;
        snap().lRadarAltitude = 0;
        f.ui->advanceFlightState();
    }

    FlightFixture f;
};

struct Transition {
    const char* name;
    int from;
    bool onGround;
    int height;
    int vs;
    int groundSpeed;
    bool parkingBrake;
    int expected;
};

class PhaseTransitionTest : public PhaseTest, public ::testing::WithParamInterface<Transition> {};

TEST_P(PhaseTransitionTest, MovesOnlyPastItsThreshold)
{
    const Transition& t = GetParam();
    inPhase(t.from);
    snap().bOnGround = t.onGround;
    snap().lRadarAltitude = t.height;
    snap().lVerticalSpeed = t.vs;
    snap().lGroundSpeed = t.groundSpeed;
    snap().bParkingBrake = t.parkingBrake;
    snap().dLatitude = FlightFixture::kDepLat;
    snap().dLongitude = FlightFixture::kDepLon;
    const bool changed = step();
    EXPECT_EQ(snap().lFlightPhase, t.expected);
    EXPECT_EQ(changed, t.expected != t.from);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PhaseTransitionTest,
    ::testing::Values(
        Transition{"BoardingAt5kt", PhaseBoarding, true, 0, 0, 5, false, PhaseBoarding},
        Transition{"BoardingAt6kt", PhaseBoarding, true, 0, 0, 6, false, PhaseTaxi},
        Transition{"TaxiAt70ft", PhaseTaxi, false, 70, 500, 140, false, PhaseTaxi},
        Transition{"TaxiAt71ftOnGround", PhaseTaxi, true, 71, 500, 140, false, PhaseTaxi},
        Transition{"TaxiAt71ft", PhaseTaxi, false, 71, 500, 140, false, PhaseTakeOff},
        Transition{"TakeOffAt150ft", PhaseTakeOff, false, 150, 2000, 150, false, PhaseTakeOff},
        Transition{"TakeOffClimb", PhaseTakeOff, false, 151, 200, 150, false, PhaseClimb},
        Transition{"TakeOffLevel", PhaseTakeOff, false, 151, -199, 150, false, PhaseCruise},
        Transition{"TakeOffSinking", PhaseTakeOff, false, 151, -200, 150, false, PhaseDescent},
        Transition{"ClimbStays", PhaseClimb, false, 5000, 1500, 300, false, PhaseClimb},
        Transition{"ClimbLevelsOff", PhaseClimb, false, 5000, 199, 300, false, PhaseCruise},
        Transition{"CruiseDescends", PhaseCruise, false, 5000, -200, 300, false, PhaseDescent},
        Transition{"DescentClimbsAgain", PhaseDescent, false, 5000, 200, 300, false, PhaseClimb},
        Transition{"DescentTouchesDown", PhaseDescent, true, 0, -300, 120, false, PhaseLanded},
        Transition{"LandedRolling", PhaseLanded, true, 0, 0, 5, true, PhaseLanded},
        Transition{"LandedBrakeOff", PhaseLanded, true, 0, 0, 4, false, PhaseLanded},
        Transition{"LandedOnBlock", PhaseLanded, true, 0, 0, 4, true, PhaseOnBlock},
        Transition{"TouchAndGo", PhaseLanded, false, 71, 800, 140, false, PhaseClimb},
        Transition{"OnBlockStays", PhaseOnBlock, false, 5000, 2000, 300, false, PhaseOnBlock}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhaseTest, CrashFlagEndsInCrashedFromAnyPhase)
{
    inPhase(PhaseCruise);
    airborne(20000, 0);
    snap().lCrashed = 1;
    EXPECT_TRUE(step());
    EXPECT_EQ(snap().lFlightPhase, PhaseCrashed);
    EXPECT_TRUE(report().hasPenalty(ItemCrashed)) << "an airborne crash is a crash";
    EXPECT_FALSE(step()) << "Crashed is final";
}

struct GroundCrash {
    int groundSpeed;
    int expectedItem;
};

class GroundCrashTest : public PhaseTest, public ::testing::WithParamInterface<GroundCrash> {};

TEST_P(GroundCrashTest, BeforeTakeOffTheSpeedNamesTheAccident)
{
    inPhase(PhaseTaxi);
    snap().bOnGround = true;
    snap().lGroundSpeed = GetParam().groundSpeed;
    snap().lCrashed = 1;
    step();
    for (int item : {ItemGroundAccident, ItemSeriousGroundAccident, ItemCrashed})
        EXPECT_EQ(report().hasPenalty(item), item == GetParam().expectedItem) << item;
}

INSTANTIATE_TEST_SUITE_P(Speeds, GroundCrashTest,
                         ::testing::Values(GroundCrash{20, ItemGroundAccident}, GroundCrash{34, ItemGroundAccident},
                                           GroundCrash{35, ItemSeriousGroundAccident},
                                           GroundCrash{40, ItemSeriousGroundAccident},
                                           GroundCrash{54, ItemSeriousGroundAccident}, GroundCrash{55, ItemCrashed},
                                           GroundCrash{60, ItemCrashed}));

struct Touchdown {
    int vs;
    int item; // -1: none
    bool endsFlight;
};

class TouchdownTest : public PhaseTest, public ::testing::WithParamInterface<Touchdown> {};

TEST_P(TouchdownTest, VerticalSpeedGivesTheLandingItem)
{
    inPhase(PhaseDescent);
    enRoute();
    touchDownAt(GetParam().vs);
    EXPECT_EQ(snap().lLandingVerticalSpeed, GetParam().vs);
    for (int item : {ItemHardLanding, ItemVeryHardLanding, ItemCrashed})
        EXPECT_EQ(report().hasPenalty(item), item == GetParam().item) << item;
    EXPECT_EQ(f.ui->presses(IdEndFlight), GetParam().endsFlight ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Thresholds, TouchdownTest,
                         ::testing::Values(Touchdown{-350, -1, false}, Touchdown{-625, -1, false},
                                           Touchdown{-626, ItemHardLanding, false},
                                           Touchdown{-1525, ItemHardLanding, false},
                                           Touchdown{-1526, ItemVeryHardLanding, false},
                                           Touchdown{-3025, ItemVeryHardLanding, false},
                                           Touchdown{-3026, ItemCrashed, true}));

TEST_F(PhaseTest, TouchdownAveragesTheLastThreePolls)
{
    inPhase(PhaseDescent);
    enRoute();
    for (int vs : {-900, -400, -500, -600})
        snap().recentVerticalSpeeds.push(vs);
    snap().bOnGround = true;
    f.ui->advanceFlightState();
    EXPECT_EQ(snap().lLandingVerticalSpeed, -500);
    EXPECT_TRUE(f.logs.contains("Touchdown VS: -400 -500 -600"));
}

TEST_F(PhaseTest, TouchAndGoKeepsTheHardestTouchdown)
{
    inPhase(PhaseDescent);
    enRoute();
    touchDownAt(-700);
    ASSERT_EQ(snap().lFlightPhase, PhaseLanded);
    airborne(100, 900);
    step();
    ASSERT_EQ(snap().lFlightPhase, PhaseClimb);
    touchDownAt(-200);
    EXPECT_EQ(snap().lLandingVerticalSpeed, -700);
    EXPECT_TRUE(f.logs.contains("Previous touch down harder -200 prev -700"));
}

TEST_F(PhaseTest, AHardTouchdownOnTheGroundCrashesOnEveryStep)
{
    inPhase(PhaseLanded);
    snap().bOnGround = true;
    snap().lLandingVerticalSpeed = -3026;
    EXPECT_TRUE(step());
    EXPECT_EQ(snap().lFlightPhase, PhaseCrashed);
    EXPECT_TRUE(step()) << "the rule holds while the condition lasts";
}

struct SurfaceCase {
    const char* name;
    int surface;
    int floatPlane;
    bool gearDown;
    int gearRetractable;
    int gearChanges;
    bool gearFailure;
    int simVersion;
    bool water;
    bool gearUp;
};

class SurfaceTest : public PhaseTest, public ::testing::WithParamInterface<SurfaceCase> {};

TEST_P(SurfaceTest, WaterAndGearUpItems)
{
    const SurfaceCase& c = GetParam();
    f.ui->getClient().types.d_float_plane = c.floatPlane;
    f.sim->simulatorVersion = c.simVersion;
    if (c.gearFailure)
        report().addPenalty(ItemGearFailure);
    inPhase(PhaseDescent);
    enRoute();
    snap().lSurfaceType = c.surface;
    snap().bGearDown = c.gearDown;
    snap().lGearRetractable = c.gearRetractable;
    snap().lGearChangeCount = c.gearChanges;
    touchDownAt(-300);
    EXPECT_EQ(report().hasPenalty(ItemWaterLanding), c.water);
    EXPECT_EQ(report().hasPenalty(ItemGearUpLanding), c.gearUp);
    EXPECT_EQ(f.ui->presses(IdEndFlight), c.water ? 1 : 0) << "a water landing ends the flight";
}

INSTANTIATE_TEST_SUITE_P(
    Table, SurfaceTest,
    ::testing::Values(SurfaceCase{"LandOnWater", 2, 0, true, 1, 2, false, SimFSX, true, false},
                      SurfaceCase{"FloatPlaneOnWater", 2, 1, true, 1, 2, false, SimFSX, false, false},
                      SurfaceCase{"GearUp", 4, 0, false, 1, 2, false, SimFSX, false, true},
                      SurfaceCase{"GearUpAfter20Moves", 4, 0, false, 1, 20, false, SimFSX, false, false},
                      SurfaceCase{"GearUpAfter19Moves", 4, 0, false, 1, 19, false, SimFSX, false, true},
                      SurfaceCase{"GearUpWithGearFailure", 4, 0, false, 1, 2, true, SimFSX, false, false},
                      SurfaceCase{"FixedGear", 4, 0, false, 0, 0, false, SimFSX, false, false},
                      SurfaceCase{"FloatPlaneGearUp", 4, 1, false, 1, 2, false, SimFSX, false, false},
                      SurfaceCase{"FloatPlaneGearUpOldSim", 4, 1, false, 1, 2, false, SimXPlane9, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhaseTest, TaxiOverspeedAfterNinetySecondsBetween30And100Knots)
{
    inPhase(PhaseTaxi);
    snap().bOnGround = true;
    snap().lGroundSpeed = 45;
    stepFor(90000);
    EXPECT_FALSE(report().hasPenalty(ItemTaxiOverspeed));
    stepFor(1000);
    EXPECT_TRUE(report().hasPenalty(ItemTaxiOverspeed));
    EXPECT_EQ(f.sounds.played.back(), "sound/en/penalty.wav");
}

// After a touchdown the first minute on the ground is the landing roll; taxiing
// too fast after it counts as it does before take-off.
struct TaxiAfterLandingCase {
    const char* name;
    std::int64_t taxiFromMs; // after the touchdown
    bool penalised;
};

class TaxiAfterLandingTest : public PhaseTest, public ::testing::WithParamInterface<TaxiAfterLandingCase> {};

TEST_P(TaxiAfterLandingTest, GraceIsTheFirstMinuteAfterTouchdown)
{
    inPhase(PhaseDescent);
    enRoute();
    airborne(1000, -500);
    stepFor(30000);
    touchDownAt(-200);
    ASSERT_EQ(snap().lFlightPhase, PhaseLanded);
    snap().lGroundSpeed = 20;
    stepFor(GetParam().taxiFromMs);
    snap().lGroundSpeed = 40;
    stepFor(91000);
    EXPECT_EQ(report().hasPenalty(ItemTaxiOverspeed), GetParam().penalised);
}

INSTANTIATE_TEST_SUITE_P(Table, TaxiAfterLandingTest,
                         ::testing::Values(TaxiAfterLandingCase{"AfterTheFirstMinute", 61000, true},
                                           TaxiAfterLandingCase{"WithinTheFirstMinute", 0, false},
                                           TaxiAfterLandingCase{"StraddlingTheFirstMinute", 30000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhaseTest, ATakeOffRollRestartsTheTaxiTimer)
{
    inPhase(PhaseTaxi);
    snap().bOnGround = true;
    for (int i = 0; i < 20; ++i) {
        snap().lGroundSpeed = (i % 4 == 3) ? 101 : 60;
        stepFor(10000);
    }
    EXPECT_FALSE(report().hasPenalty(ItemTaxiOverspeed));
}

struct OverspeedCase {
    const char* name;
    int heavy;
    int ias;
    double altitude;
    std::int64_t minutesAirborneBefore;
    std::int64_t overspeedMs;
    bool penalised;
};

class OverspeedTest : public PhaseTest, public ::testing::WithParamInterface<OverspeedCase> {};

TEST_P(OverspeedTest, BelowFL100)
{
    const OverspeedCase& c = GetParam();
    f.ui->getClient().types.d_heavy = c.heavy;
    inPhase(PhaseClimb);
    enRoute();
    airborne(3000, 1000);
    snap().lIndicatedAirspeed = 250;
    stepFor(c.minutesAirborneBefore * 60000, 5000);
    snap().lIndicatedAirspeed = c.ias;
    snap().dAltitude = c.altitude;
    stepFor(c.overspeedMs);
    EXPECT_EQ(report().hasPenalty(ItemOverspeedFL100), c.penalised);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OverspeedTest,
    ::testing::Values(OverspeedCase{"At260", 0, 260, 9800, 0, 120000, false},
                      OverspeedCase{"At261For61s", 0, 261, 9800, 0, 61000, true},
                      OverspeedCase{"At261For60s", 0, 261, 9800, 0, 60000, false},
                      OverspeedCase{"At261AboveFL99", 0, 261, 9900, 0, 120000, false},
                      OverspeedCase{"HeavyAt310Early", 1, 310, 9000, 0, 120000, false},
                      OverspeedCase{"HeavyAt311Early", 1, 311, 9000, 0, 120000, true},
                      OverspeedCase{"HeavyAt300Late", 1, 300, 9000, 15, 120000, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct LowAltitudeCase {
    const char* name;
    int height;
    bool nearStart;
    bool sameAirports;
    bool emergency;
    std::int64_t ms;
    bool penalised;
};

class LowAltitudeTest : public PhaseTest, public ::testing::WithParamInterface<LowAltitudeCase> {};

TEST_P(LowAltitudeTest, FlyingLowAwayFromTheAirports)
{
    const LowAltitudeCase& c = GetParam();
    if (c.sameAirports)
        copyText(f.ui->getClient().route.r_Arr, "egll");
    inPhase(PhaseCruise);
    enRoute();
    if (c.nearStart) {
        snap().dLatitude = FlightFixture::kDepLat + 0.05; // 3 nm
        snap().dLongitude = FlightFixture::kDepLon;
    }
    snap().bEmergency = c.emergency ? 1 : 0;
    airborne(c.height, 0);
    stepFor(c.ms);
    EXPECT_EQ(report().hasPenalty(ItemLowAltitude), c.penalised);
}

INSTANTIATE_TEST_SUITE_P(Table, LowAltitudeTest,
                         ::testing::Values(LowAltitudeCase{"Low121s", 300, false, false, false, 121000, true},
                                           LowAltitudeCase{"Low119s", 300, false, false, false, 119000, false},
                                           LowAltitudeCase{"At450", 450, false, false, false, 300000, false},
                                           LowAltitudeCase{"NearStart", 300, true, false, false, 300000, false},
                                           LowAltitudeCase{"CircuitRoute", 300, false, true, false, 300000, false},
                                           LowAltitudeCase{"Emergency", 300, false, false, true, 300000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhaseTest, LandingHeavierThanMlwIsRecorded)
{
    f.ui->getClient().types.d_MLW = 60000;
    snap().lFuelOnBoard = 8000; // 42600 + 2000 + 150*102 + 8000 = 67900
    inPhase(PhaseDescent);
    enRoute();
    touchDownAt(-200);
    EXPECT_TRUE(report().hasPenalty(ItemMaxLandingWeight));
}

TEST_F(PhaseTest, PhaseStepsRecordTheirFigures)
{
    inPhase(PhaseBoarding);
    snap().lGroundSpeed = 10;
    f.sim->updateFlightTimer();
    f.sim->state.simSeconds += 95.0;
    f.ui->advanceFlightState();
    EXPECT_DOUBLE_EQ(f.ui->getClient().report.departSeconds, 95.0) << "taxi records the departure time";
    EXPECT_STREQ(f.ui->getClient().report.Deptime, f.sim->szZuluTime);

    airborne(100, 2000);
    f.sim->state.tankLevel[1] = 1234.6f;
    f.sim->state.tankLevel[2] = 1000.0f;
    f.ui->advanceFlightState();
    EXPECT_EQ(snap().lFlightPhase, PhaseTakeOff);
    EXPECT_EQ(snap().lFuelAtTakeoff, 2235) << "2234.6 kg rounds up, not down";
}

// What the flight actions later ask of the machine: did it climb above 500 ft,
// did it leave the start area, how close did it come to the arrival on the ground.
TEST_F(PhaseTest, KeepsTheFlightsBookkeeping)
{
    const auto altitudeEvents = [this] {
        int n = 0;
        for (const CEventRecord& e : f.ui->getBlackbox().getEventLog())
            n += std::string(e.text) == "Altitude above 500ft" ? 1 : 0;
        return n;
    };
    inPhase(PhaseClimb);
    snap().dStartLatitude = FlightFixture::kDepLat;
    snap().dStartLongitude = FlightFixture::kDepLon;
    northOf(FlightFixture::kDepLat, FlightFixture::kDepLon, 4.9);
    airborne(499, 1500);
    step();
    EXPECT_FALSE(machine().hasLeftStartArea());
    EXPECT_FALSE(machine().hasClimbedAbove500());
    EXPECT_EQ(snap().dClosestArrivalDistance, -1.0) << "unknown while airborne";

    northOf(FlightFixture::kDepLat, FlightFixture::kDepLon, 5.1);
    for (int height : {500, 3000, 400, 800}) {
        airborne(height, 1500);
        step();
    }
    EXPECT_TRUE(machine().hasLeftStartArea());
    EXPECT_TRUE(machine().hasClimbedAbove500());
    EXPECT_EQ(altitudeEvents(), 1) << "the event is recorded once per flight";

    northOf(FlightFixture::kArrLat, FlightFixture::kArrLon, 3.0);
    touchDownAt(-200);
    EXPECT_NEAR(snap().dClosestArrivalDistance, 3.0, 0.01);
    for (double nm : {1.0, 2.5}) {
        northOf(FlightFixture::kArrLat, FlightFixture::kArrLon, nm);
        step();
    }
    EXPECT_NEAR(snap().dClosestArrivalDistance, 1.0, 0.01) << "the closest approach on the ground is kept";
}

TEST_F(PhaseTest, ACrashOpensTheCommentPageWithTheLastFigures)
{
    inPhase(PhaseDescent);
    northOf(FlightFixture::kArrLat, FlightFixture::kArrLon, 2.0);
    airborne(900, -100);
    snap().lPreviousVerticalSpeed = -2400;
    f.sim->state.tankLevel[1] = 700.6f;
    f.sim->state.tankLevel[2] = 700.0f;
    snap().lCrashed = 1;
    f.ui->advanceFlightState();
    EXPECT_EQ(snap().lFlightPhase, PhaseCrashed);
    EXPECT_EQ(f.ui->getPage(), PageComment);
    EXPECT_TRUE(f.window.isControlVisible(IdEndFlight));
    EXPECT_EQ(snap().lLandingVerticalSpeed, -2400) << "the sink rate before the crash";
    EXPECT_EQ(snap().lFuelAtLanding, 1401);
    EXPECT_STREQ(snap().szClosestAirport, "EDDF");
    EXPECT_TRUE(report().hasPenalty(ItemCrashed));
}

TEST_F(PhaseTest, ParsesPhaseWords)
{
    EXPECT_EQ(parsePhaseCode("Cruise"), PhaseCruise);
    EXPECT_EQ(parsePhaseCode("TAKEOFF"), PhaseTakeOff);
    EXPECT_EQ(parsePhaseCode("landed"), PhaseLanded);
    EXPECT_EQ(parsePhaseCode("pushback"), -1);
    EXPECT_EQ(parsePhaseCode("on block"), -1);
    EXPECT_STREQ(getPhaseName(42), "Undefined");
}

TEST_F(PhaseTest, GarbageSnapshotsNeverCrashTheMachine)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int phase = 0; phase <= 8; ++phase) {
        inPhase(phase);
        snap().dLatitude = nan;
        snap().dLongitude = 1e300;
        snap().dAltitude = nan;
        snap().lRadarAltitude = -50000;
        snap().lGroundSpeed = 1000000;
        snap().lIndicatedAirspeed = 1000000;
        snap().lVerticalSpeed = std::numeric_limits<std::int32_t>::min();
        snap().bOnGround = phase % 2 == 0;
        for (int i = 0; i < 3; ++i)
            snap().recentVerticalSpeeds.push(std::numeric_limits<std::int32_t>::min());
        f.ui->advanceFlightState();
        stepFor(200000, 20000);
    }
    // Undefined behaviour on the way is caught by the sanitizer run of the suite.
    // A sink rate beyond any scale touches down as a crash, never as a soft landing.
    EXPECT_TRUE(report().hasPenalty(ItemCrashed));
    EXPECT_FALSE(std::isnan(snap().dClosestArrivalDistance));
}

} // namespace

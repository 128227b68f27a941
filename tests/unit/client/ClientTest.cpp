// The driver's tick on the scripted simulator: polling interval, check gate,
// autosave, gear counting, keyboard latch, failures and page timers.
#include "client/Client.h"
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "support/FlightFixture.h"
#include "support/HeardLines.h"
#include "support/StoreFiles.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override { f.startFlying(); }
    // Parks the aircraft in the air at a height above the ground.
    void hoverAt(int height)
    {
        f.sim->state.onGround = false;
        f.sim->state.altitude = f.sim->state.groundElevation + height;
    }
    FlightFixture f;
};

struct HeightCase {
    int height;
    int interval;
};

class IntervalTest : public DriverTest, public ::testing::WithParamInterface<HeightCase> {};

TEST_P(IntervalTest, FollowsTheHeightAboveGround)
{
    hoverAt(GetParam().height);
    f.tickFor(3000);
    EXPECT_EQ(f.client->getCheckInterval(), GetParam().interval);
}

TEST_P(IntervalTest, ChecksAreSpacedByTheInterval)
{
    hoverAt(GetParam().height);
    f.tickFor(20000);
    const auto& t = f.sim->pollTimes;
    ASSERT_GE(t.size(), 3u);
    for (std::size_t i = 2; i < t.size(); ++i) {
        EXPECT_GE(t[i] - t[i - 1], GetParam().interval);
        EXPECT_LE(t[i] - t[i - 1], GetParam().interval + 10) << "a due check waits at most one tick";
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, IntervalTest,
                         ::testing::Values(HeightCase{0, 50}, HeightCase{80, 50}, HeightCase{100, 50},
                                           HeightCase{101, 100}, HeightCase{500, 100}, HeightCase{501, 250},
                                           HeightCase{2000, 250}, HeightCase{2001, 1000}, HeightCase{10000, 1000},
                                           HeightCase{10001, 4000}));

struct SlowCase {
    std::uint32_t checkMs;
    int interval;
};

class SlowMachineTest : public DriverTest, public ::testing::WithParamInterface<SlowCase> {};

TEST_P(SlowMachineTest, WidensTheIntervalByTheTruncatedFactor)
{
    hoverAt(5000);
    f.sim->pollCostMs = GetParam().checkMs;
    ASSERT_TRUE(f.tickUntil([&] { return f.client->getCheckCount() >= 12; }, 120000));
    f.tickFor(3000);
    EXPECT_EQ(f.client->getCheckInterval(), GetParam().interval);
}

INSTANTIATE_TEST_SUITE_P(Averages, SlowMachineTest,
                         ::testing::Values(SlowCase{0, 1000}, SlowCase{50, 1000}, SlowCase{51, 1000},
                                           SlowCase{120, 2000}, SlowCase{149, 2000}, SlowCase{150, 3000}));

TEST_F(DriverTest, ASingleSlowCheckWidensUntilTheNextAdaptation)
{
    hoverAt(50);
    f.sim->pollCostMs = 250; // more than twice the starting 100 ms interval
    f.tickUntil([&] { return f.client->getCheckCount() == 1; }, 1000);
    EXPECT_EQ(f.client->getCheckInterval(), 100 + 2 * 250);
}

struct AutosaveCase {
    const char* name;
    int mode;
    int version;
    std::vector<int> files;
    bool versionWarning;
    bool backup;
};

class AutosaveTest : public DriverTest, public ::testing::WithParamInterface<AutosaveCase> {};

TEST_P(AutosaveTest, EveryTwoMinutes)
{
    const AutosaveCase& c = GetParam();
    startWithEmptyStore();
    f.ui->autosaveMode = c.mode;
    f.sim->simulatorVersion = c.version;
    f.tickFor(120000);
    EXPECT_TRUE(f.sim->savedFlights.empty()) << "the first autosave waits two minutes";
    EXPECT_EQ(f.logs.count("Autosave Finished"), 0);
    f.tickFor(2 * 120000 + 500);
    EXPECT_EQ(f.sim->savedFlights, c.files);
    EXPECT_EQ(f.logs.count("Autosave Finished"), 3);
    EXPECT_EQ(f.logs.count("Wrong version for backup"), c.versionWarning ? 3 : 0);
    EXPECT_EQ(f.logs.count("Creating Autosave Backup..."), c.backup ? 3 : 0);
    EXPECT_EQ(f.logs.count("Report-Backup has been created."), c.backup ? 3 : 0);
    EXPECT_EQ(f.ui->getReport().hasContinue(), c.backup);
    EXPECT_EQ(f.ui->getReport().verifyCheckCode(), c.backup);
    EXPECT_EQ(CClient::getAutosaveCounter(), 3u);
    startWithEmptyStore();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AutosaveTest,
    ::testing::Values(AutosaveCase{"FlightAndData", 2, SimFSX, {1, 2, 1}, false, true},
                      AutosaveCase{"FS2020", 2, SimFS2020, {}, true, true},
                      AutosaveCase{"XPlane9", 2, SimXPlane9, {}, true, true},
                      AutosaveCase{"XPlane10", 2, SimXPlane10, {}, true, true},
                      AutosaveCase{"DataOnly", 1, SimFSX, {}, false, true},
                      AutosaveCase{"None", 0, SimFSX, {}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverTest, AFailedSaveIsLoggedAndTheNextUsesTheOtherFile)
{
    f.ui->autosaveMode = 2;
    f.sim->saveSucceeds = false;
    f.tickFor(2 * 120000 + 500);
    EXPECT_EQ(f.sim->savedFlights, (std::vector<int>{1, 2}));
    EXPECT_EQ(f.logs.count("Autosave failed"), 2);
}

TEST_F(DriverTest, PreFlightPagesRestartTheAutosaveClock)
{
    f.ui->autosaveMode = 2;
    f.tickFor(100000);
    f.ui->SetPage(PageLoadSheet);
    f.tickFor(5000);
    f.ui->SetPage(PageFlying);
    f.tickFor(100000);
    EXPECT_TRUE(f.sim->savedFlights.empty()) << "a flight restarted from the load sheet waits two minutes again";
    f.tickFor(25000);
    EXPECT_EQ(f.sim->savedFlights.size(), 1u);
}

TEST_F(DriverTest, CountsGearMovements)
{
    f.tickFor(200);
    EXPECT_EQ(f.sim->lGearChangeCount, 1) << "the first check with the gear down counts";
    f.sim->state.gearDown = false;
    f.tickFor(200);
    f.sim->state.gearDown = true;
    f.tickFor(200);
    EXPECT_EQ(f.sim->lGearChangeCount, 3);
    EXPECT_TRUE(f.logs.contains("Debug: [CClient] Gear state Down change count(1)"));
    EXPECT_TRUE(f.logs.contains("Debug: [CClient] Gear state Up change count(2)"));
}

// Gear movements count per flight: three flights in one process, each cycling
// the gear eight times aloft and then landing with it up.
TEST(GearCountPerFlight, EveryFlightOfTheProcessGetsItsGearUpItem)
{
    FlightFixture f;
    const struct {
        int cycles;
        bool gearUpItem;
    } flights[] = {{8, true}, {8, true}, {8, true}};
    for (const auto& flight : flights) {
        f.startFlying();
        SimState& s = f.sim->state;
        s = SimState{};
        s.parkingBrake = false;
        s.groundSpeed = 10;
        f.tickFor(500);
        s.onGround = false;
        s.altitude = s.groundElevation + 1000;
        s.verticalSpeed = -300;
        for (int i = 0; i < flight.cycles; ++i) {
            s.gearDown = !s.gearDown;
            f.tickFor(2000);
        }
        s.gearDown = false;
        f.tickFor(2000);
        s.onGround = true;
        s.altitude = s.groundElevation;
        f.tickFor(500);
        ASSERT_EQ(f.sim->lFlightPhase, PhaseLanded);
        EXPECT_LE(f.sim->lGearChangeCount, 2 + flight.cycles);
        EXPECT_EQ(f.ui->getReport().hasPenalty(ItemGearUpLanding), flight.gearUpItem);
    }
}

TEST_F(DriverTest, CtrlShiftLTogglesTheLightsOncePerPress)
{
    const bool before = f.sim->bLandingLights;
    f.window.keysDown = {Key::L, Key::Control, Key::Shift};
    f.tickFor(1000);
    EXPECT_EQ(f.ui->presses(IdToggleLandingLights), 1);
    EXPECT_NE(f.sim->bLandingLights, before);
    f.window.keysDown = {Key::L, Key::Control};
    f.tickFor(100);
    f.window.keysDown = {Key::L, Key::Control, Key::Shift};
    f.tickFor(100);
    EXPECT_EQ(f.ui->presses(IdToggleLandingLights), 2);
    EXPECT_EQ(f.sim->bLandingLights, before);
    EXPECT_EQ(f.logs.count("Pressed Ctrl-Shift-L"), 2);

    f.window.keysDown.clear();
    f.ui->SetPage(PageHome);
    f.window.keysDown = {Key::L, Key::Control, Key::Shift};
    f.tickFor(100);
    EXPECT_EQ(f.ui->presses(IdToggleLandingLights), 2) << "only the Flying page listens";
}

struct FailingPoll {
    const char* name;
    bool pollFails;
    bool tanksFail;
    const char* line;
};

class FailingPollTest : public DriverTest, public ::testing::WithParamInterface<FailingPoll> {};

TEST_P(FailingPollTest, EndsTheTickBeforeTheChecksButStillSleeps)
{
    f.ui->autosaveMode = 2;
    f.sim->pollFails = GetParam().pollFails;
    f.sim->tanksFail = GetParam().tanksFail;
    f.sim->state.groundSpeed = 20; // would move Boarding to Taxi
    const std::int64_t start = f.clock->nowMs();
    const int ticks = 25000; // more than the three minutes of the position log
    HeardLines heard; // the file folds the repeated error
    for (int i = 0; i < ticks; ++i)
        f.client->tick();
    EXPECT_EQ(f.clock->nowMs() - start, ticks * 10) << "every tick sleeps its 10 ms";
    EXPECT_EQ(f.sim->lFlightPhase, PhaseBoarding) << "no phase step";
    const int failures = heard.count(GetParam().line);
    EXPECT_LE(f.logs.count(GetParam().line), ticks / 6000 + 1) << "once, then a count a minute";
    EXPECT_GT(failures, ticks * 99 / 100) << "a failing check is retried on the next tick";
    EXPECT_EQ(failures + f.sim->frequentChecks, ticks) << "a tick that gave up skips its per-tick steps";
    EXPECT_EQ(f.logs.count("Autosave"), 0);
    EXPECT_EQ(f.client->getCheckCount(), 0u);
    EXPECT_TRUE(f.ui->getReport().getPositionTracker().getQueue().empty()) << "no position log";
    EXPECT_FALSE(f.logs.contains("[CCheatDetector]")) << "no cheat check";
}

INSTANTIATE_TEST_SUITE_P(Table, FailingPollTest,
                         ::testing::Values(FailingPoll{"Poll", true, false, "Call to getEverything failed, stopping checks!"},
                                           FailingPoll{"Tanks", false, true,
                                                       "Call to getAircraftTanks failed, stopping checks!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverTest, AbsurdSimulatorValuesNeverStopTheDriver)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    f.sim->state.onGround = false;
    f.sim->state.altitude = nan;
    f.sim->state.latitude = 1e300;
    f.sim->state.groundSpeed = 1000000;
    f.sim->state.indicatedAirspeed = 1000000;
    f.sim->state.verticalSpeed = std::numeric_limits<int>::min();
    f.sim->state.tankLevel[1] = std::numeric_limits<float>::infinity();
    f.tickFor(200000);
    EXPECT_GT(f.client->getCheckCount(), 100u);
    // An unreadable altitude is no height above the ground: the checks stay at
    // the ground interval and no take-off is invented.
    EXPECT_EQ(f.client->getCheckInterval(), 50);
    EXPECT_EQ(f.sim->lFlightPhase, PhaseTaxi);
    EXPECT_EQ(f.sim->dTakeoffTime, 0.0);
}

TEST_F(DriverTest, LosingTheSimulatorWhileLandedEndsTheFlight)
{
    f.tickFor(100);
    f.ui->getFlightState().setPhase(PhaseLanded);
    f.sim->lAbove500Reported = 1; // a real flight, long enough to be ended
    f.sim->lLeftStartArea = 1;
    f.sim->link = false;
    f.sim->connectSucceedsAfter = -1;
    f.tickFor(6000);
    EXPECT_GE(f.ui->presses(IdEndFlight), 1);
    EXPECT_EQ(f.ui->presses(IdLogin), 0);
    ASSERT_FALSE(f.window.boxes.empty());
    EXPECT_EQ(f.window.boxes[0].text, "Lost Connection to Flight Simulator, flight ended!");
    EXPECT_EQ(f.window.boxes[0].title, "Flight Ended");
    EXPECT_TRUE(f.logs.contains("Error: [CClient] Lost connection to Flight Simulator, flight ended!"));
    EXPECT_EQ(f.sim->connectCalls, 10);
}

TEST_F(DriverTest, LosingTheSimulatorInFlightAbortsIt)
{
    hoverAt(3000);
    f.tickFor(100);
    f.ui->getFlightState().setPhase(PhaseCruise);
    f.ui->getReport().addPenalty(ItemLowAltitude);
    f.sim->link = false;
    f.sim->connectSucceedsAfter = -1;
    f.tickFor(6000);
    ASSERT_FALSE(f.window.boxes.empty());
    EXPECT_EQ(f.window.boxes[0].title, "Flight Aborted");
    EXPECT_EQ(f.window.boxes[0].text, "Lost Connection to Flight Simulator, flight aborted!");
    EXPECT_EQ(f.ui->presses(IdLogin), 1);
    EXPECT_EQ(f.ui->getPage(), PageHome);
    EXPECT_EQ(f.sim->lFlightPhase, PhaseBoarding) << "the flight was reset";
    EXPECT_FALSE(f.ui->getReport().hasPenalty(ItemLowAltitude));
}

TEST_F(DriverTest, AReconnectWithinTheTriesKeepsTheFlight)
{
    f.tickFor(100);
    f.sim->link = false;
    f.sim->connectSucceedsAfter = 3;
    f.tickFor(6000);
    EXPECT_TRUE(f.window.boxes.empty());
    EXPECT_TRUE(f.sim->isConnected());
    EXPECT_EQ(f.sim->connectCalls, 4);
}

struct PageTimer {
    const char* name;
    int page;
    int item;      // report item set before, -1 none
    int button;
    std::int64_t after;
};

class PageTimerTest : public DriverTest, public ::testing::WithParamInterface<PageTimer> {};

TEST_P(PageTimerTest, PressesAButtonWhenThePilotStaysAway)
{
    const PageTimer& c = GetParam();
    if (c.item >= 0)
        f.ui->getReport().addPenalty(c.item);
    f.ui->SetPage(c.page);
    f.client->tick();
    f.tickFor(c.after - 20);
    EXPECT_EQ(f.ui->presses(c.button), 0);
    f.tickFor(40);
    EXPECT_GE(f.ui->presses(c.button), 1);
}

INSTANTIATE_TEST_SUITE_P(Pages, PageTimerTest,
                         ::testing::Values(PageTimer{"RouteReport", PageReportRoute, -1, IdNext, 60000},
                                           PageTimer{"Finances", PageReportFinances, -1, IdNext, 60000},
                                           PageTimer{"Penalties", PageReportPenalties, -1, IdNext, 60000},
                                           PageTimer{"Comment", PageComment, -1, IdEndFlight, 300000},
                                           PageTimer{"CommentAfterHardLanding", PageComment, ItemHardLanding,
                                                     IdEndFlight, 300000}),
                         [](const auto& info) { return std::string(info.param.name); });

class BlockedCommentTest : public DriverTest, public ::testing::WithParamInterface<int> {};

TEST_P(BlockedCommentTest, SeriousItemsKeepTheCommentPageOpen)
{
    f.ui->getReport().addPenalty(GetParam());
    f.ui->SetPage(PageComment);
    f.tickFor(400000);
    EXPECT_EQ(f.ui->presses(IdEndFlight), 0);
}

INSTANTIATE_TEST_SUITE_P(Items, BlockedCommentTest,
                         ::testing::Values(ItemWrongAirport, ItemCrashed, ItemVeryHardLanding, ItemGearUpLanding,
                                           ItemWaterLanding));

TEST_F(DriverTest, StatisticsLineEveryFiveMinutes)
{
    hoverAt(5000);
    f.tickFor(300000);
    EXPECT_EQ(f.logs.count("Loop time: "), 0);
    f.tickFor(100);
    const auto first = f.logs.matching("Loop time: ");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_NE(first[0].find("Warn: [CClient] Loop time: 3000"), std::string::npos) << first[0];
    EXPECT_NE(first[0].find(" TA: 0 TC: "), std::string::npos) << first[0];
    EXPECT_EQ(first[0].find(" TR: "), std::string::npos) << "no earlier line to compare with";
    f.logs.reset();
    f.sim->pollCostMs = 20;
    f.tickFor(300100);
    const auto second = f.logs.matching("Loop time: ");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(second[0].find(" TR: 20"), std::string::npos) << second[0];
}

TEST_F(DriverTest, PreFlightPausesAnAircraftThatMoves)
{
    f.ui->SetPage(PageLoadSheet);
    f.sim->state.groundSpeed = 8;
    f.tickFor(1500);
    EXPECT_EQ(f.sim->pauses, 1);
    EXPECT_EQ(f.sim->texts.back(), "Flight not started yet, pausing");
    f.tickFor(3000);
    EXPECT_EQ(f.sim->pauses, 1) << "a paused simulator is left alone";
}

TEST_F(DriverTest, ReadOnlyFuelRepaintsWhenTheTotalChanges)
{
    f.ui->fuelMethod = 2;
    f.ui->SetPage(PageSimpleFuel);
    f.tickFor(1500);
    const std::size_t repaints = f.window.invalidated.size();
    f.tickFor(3000);
    EXPECT_EQ(f.window.invalidated.size(), repaints);
    f.sim->state.tankLevel[0] = 500.0f;
    f.tickFor(1500);
    EXPECT_GT(f.window.invalidated.size(), repaints);
}

TEST_F(DriverTest, ExhaustedFuelAfterTakeOffStopsTheEngines)
{
    for (float& level : f.sim->state.tankLevel)
        level = 0.0f;
    f.tickFor(500);
    EXPECT_FALSE(f.ui->getReport().hasPenalty(ItemExhaustedFuel)) << "not before take-off";
    f.sim->dTakeoffTime = 1000.0;
    f.tickFor(500);
    EXPECT_TRUE(f.ui->getReport().hasPenalty(ItemExhaustedFuel));
    EXPECT_EQ(f.sim->failedEngines, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(f.sim->texts.empty()) << "engines stop quietly";
}

TEST_F(DriverTest, AbortedFlightPageRepaintsItsColumn)
{
    f.ui->SetPage(PageAbortedFlight);
    f.window.invalidated.clear();
    f.tickFor(20000);
    int column = 0;
    for (const Rect& r : f.window.invalidated)
        column += (r.left == 415 && r.top == 200 && r.right == 580 && r.bottom == 315);
    EXPECT_GE(column, 3);
    EXPECT_LE(column, 4);
}

} // namespace

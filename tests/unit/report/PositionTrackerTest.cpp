// The position log: what is sent at once and what waits in the queue, and
// the driver's three-minute rhythm.
#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "support/HeardLines.h"
#include "support/ScriptedService.h"

#include <gtest/gtest.h>

namespace {

struct QueueCase {
    const char* name;
    bool tracker;
    bool onGround;
    int height;
    int phase;
    bool attempted; // a send was tried (and fails here: no flight log id)
};

class PositionQueueTest : public ::testing::TestWithParam<QueueCase> {};

TEST_P(PositionQueueTest, QueuesWhatIsNotSentAtOnce)
{
    const QueueCase& c = GetParam();
    FlightFixture f;
    f.startFlying();
    f.sim->holdSnapshot = true;
    f.ui->getReport().setTrackerEnabled(c.tracker);
    f.sim->bOnGround = c.onGround;
    f.sim->lRadarAltitude = c.height;
    f.sim->lFlightPhase = c.phase;
    f.sim->dHeading = 271.9;
    f.sim->lGroundAltitude = 300;
    f.sim->fSimulationRate = 2.0f;
    CPositionTracker& tracker = f.ui->getReport().getPositionTracker();
    HeardLines heard; // the file folds the repeated warning
    EXPECT_FALSE(f.ui->getReport().recordPosition());
    EXPECT_FALSE(f.ui->getReport().recordPosition());
    ASSERT_EQ(tracker.getQueue().size(), 2u);
    EXPECT_EQ(tracker.getQueue()[0].PositionId, 0);
    EXPECT_EQ(tracker.getQueue()[1].PositionId, 1);
    EXPECT_EQ(tracker.getQueue()[1].Heading, 271);
    EXPECT_EQ(tracker.getQueue()[1].Altitude, 300 + c.height);
    EXPECT_EQ(tracker.getQueue()[1].SimulationRate, 2);
    EXPECT_EQ(tracker.getQueue()[1].Fuel, f.sim->fuelOnBoardRounded());
    EXPECT_EQ(heard.count("pushback"), c.attempted ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, PositionQueueTest,
                         ::testing::Values(QueueCase{"TrackerOff", false, true, 0, PhaseTaxi, false},
                                           QueueCase{"LowApproach", true, false, 1499, PhaseDescent, false},
                                           QueueCase{"TakeOffIsSent", true, false, 300, PhaseTakeOff, true},
                                           QueueCase{"HighIsSent", true, false, 1500, PhaseCruise, true},
                                           QueueCase{"GroundIsSent", true, true, 0, PhaseLanded, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PositionTracker, TrackerOffOnlyReportsPhaseChanges)
{
    FlightFixture f;
    f.startFlying();
    CPositionTracker::resetProcessValues();
    f.sim->holdSnapshot = true;
    f.sim->lFlightPhase = PhaseBoarding;
    EXPECT_FALSE(f.ui->getReport().sendTracker());
    f.sim->lFlightPhase = PhaseTaxi;
    EXPECT_TRUE(f.ui->getReport().sendTracker());
    EXPECT_STREQ(f.ui->getClient().flightLog.l_FlightState, "") << "nothing is written with the tracker off";
}

TEST(PositionTracker, TrackerOnWritesPositionAndPhase)
{
    ScriptedService service;
    FlightFixture f;
    f.startFlying();
    f.sim->holdSnapshot = true;
    f.ui->getReport().setTrackerEnabled(true);
    f.sim->dLatitude = 50.0379123456;
    f.sim->dLongitude = -8.5;
    f.sim->lFlightPhase = PhaseOnBlock;
    EXPECT_TRUE(f.ui->getReport().sendTracker());
    EXPECT_STREQ(f.ui->getClient().flightLog.l_Lat, "50.037912");
    EXPECT_STREQ(f.ui->getClient().flightLog.l_Lon, "-8.500000");
    EXPECT_STREQ(f.ui->getClient().flightLog.l_FlightState, "On Block");
    EXPECT_TRUE(f.logs.contains("Upload Tracker Data! (On Block)"));
    ASSERT_TRUE(f.ui->getClient().waitForBackgroundSends(5000));
    EXPECT_TRUE(service.bodies("writelog").empty()) << "On Block sends no tracker update";
    f.sim->lFlightPhase = PhaseCruise;
    EXPECT_TRUE(f.ui->getReport().sendTracker());
    ASSERT_TRUE(f.ui->getClient().waitForBackgroundSends(5000));
    ASSERT_EQ(service.bodies("writelog").size(), 1u);
    EXPECT_NE(service.bodies("writelog")[0].find("&Lat=50.037912&FlightState=Cruise&"), std::string::npos);
}

TEST(PositionTracker, TheDriverRecordsAPositionEveryThreeMinutes)
{
    FlightFixture f;
    f.startFlying();
    f.tickFor(9 * 60 * 1000 + 100);
    const auto& queue = f.ui->getReport().getPositionTracker().getQueue();
    ASSERT_EQ(queue.size(), 3u);
    EXPECT_EQ(queue[2].PositionId, 2);
    f.ui->ResetFlight();
    EXPECT_TRUE(f.ui->getReport().getPositionTracker().getQueue().empty());
    EXPECT_EQ(f.ui->getReport().getPositionTracker().getPendingPositions(), 0);
}

} // namespace

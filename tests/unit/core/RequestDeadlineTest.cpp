// A stalled service costs the flight a few seconds per tick and the pilot one
// deadline per action, however many requests the work makes: what could not
// be sent in time is queued.
#include "server/RequestDeadline.h"
#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "support/ScriptedService.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

namespace {

TEST(RequestDeadline, AStalledPositionUploadHoldsTheFlyingTickAFewSecondsAndIsQueued)
{
    ScriptedService service;
    FlightFixture f;
    f.startFlying();
    f.sim->holdSnapshot = true;
    f.sim->lRadarAltitude = 3000; // positions go out directly up there
    f.ui->getReport().setTrackerEnabled(true);
    copyText(f.ui->getClient().flightLog.l_ID, "991");
    service.setStalling(true);
    std::int64_t longest = 0;
    const auto& queue = f.ui->getReport().getPositionTracker().getQueue();
    for (int i = 0; i < 100000 && queue.empty(); ++i) {
        const std::int64_t start = f.clock->nowMs();
        f.client->tick();
        longest = std::max(longest, f.clock->nowMs() - start);
    }
    ASSERT_EQ(queue.size(), 1u) << "the position that could not be sent waits for the report";
    EXPECT_EQ(service.bodies("writepositionlog").size(), 1u);
    EXPECT_LE(longest, static_cast<std::int64_t>(CRequestDeadline::kFlyingTickMs) + 100);
}

TEST(RequestDeadline, EndFlightWaitsOneDeadlineForAllItsRequests)
{
    ScriptedService service;
    FlightFixture f;
    f.startFlying();
    f.sim->holdSnapshot = true;
    f.sim->bOnGround = 1;
    f.ui->getReport().setTrackerEnabled(true);
    copyText(f.ui->getClient().flightLog.l_ID, "991");
    copyText(f.ui->getClient().flightLog.l_FlightType, "2"); // may end anywhere
    service.setStalling(true);
    const std::int64_t start = f.clock->nowMs();
    f.ui->OnButton(IdEndFlight);
    EXPECT_EQ(f.ui->getPage(), PageComment);
    EXPECT_TRUE(f.logs.contains("not sent: no time left for it")) << "the end of a flight asks more than once";
    EXPECT_LE(f.clock->nowMs() - start, static_cast<std::int64_t>(CRequestDeadline::kActionMs) + 100);
}

TEST(RequestDeadline, EndingTheFlightAfterALostSimulatorHasTheActionsTimeAndItsPositionsTheTicks)
{
    ScriptedService service;
    service.answer("gettimestamp", ScriptedService::table({{"UNIX_TIMESTAMP()", "1765300000"}}));
    service.stall("writepositionlog");
    service.stall("writelog");
    FlightFixture f;
    f.startFlying();
    f.ui->getReport().setTrackerEnabled(true);
    copyText(f.ui->getClient().flightLog.l_ID, "991");
    f.tickFor(100);
    f.ui->getFlightState().setPhase(PhaseLanded);
    f.sim->lAbove500Reported = 1;
    f.sim->lLeftStartArea = 1;
    f.sim->bOnGround = 1; // the last position goes out at once
    f.sim->link = false;
    f.sim->connectSucceedsAfter = -1;
    std::int64_t lastTick = 0;
    for (int i = 0; i < 100000 && f.ui->presses(IdEndFlight) == 0; ++i) {
        const std::int64_t start = f.clock->nowMs();
        f.client->tick();
        lastTick = f.clock->nowMs() - start;
    }
    ASSERT_FALSE(f.window.boxes.empty());
    ASSERT_EQ(f.window.boxes[0].title, "Flight Ended");
    EXPECT_EQ(f.ui->getPage(), PageComment);
    // The reconnects spent the tick's time; the end's own calls still go.
    EXPECT_EQ(service.bodies("getclosestairport2").size(), 1u);
    EXPECT_EQ(f.ui->getClient().flightLog.l_Timestamp, 1765300000);
    // The last position keeps the tick's time: it waits for the report.
    constexpr std::int64_t kReconnectsMs = 4500; // ten tries, 0.1 s more apart each time
    EXPECT_LE(lastTick, kReconnectsMs + static_cast<std::int64_t>(CRequestDeadline::kFlyingTickMs) + 100);
    EXPECT_FALSE(f.ui->getReport().getPositionTracker().getQueue().empty());
}

} // namespace

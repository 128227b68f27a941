// A stalled service costs the flight a few seconds per tick and the pilot one
// deadline per action, however many requests the work makes: what could not
// be sent in time is queued.
#include "server/RequestDeadline.h"
#include "core/FixedText.h"
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

} // namespace

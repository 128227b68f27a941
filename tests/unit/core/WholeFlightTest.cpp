// A whole scripted flight driven only through the client's tick.
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

namespace {

std::vector<FlightLeg> airlineFlight()
{
    // seconds, ground speed, IAS, vertical speed, on ground, parking brake, gear down, burn kg/h
    return {
        {20, 0, 0, 0, true, true, true, 0},          // boarding
        {120, 15, 15, 0, true, false, true, 300},    // taxi out
        {25, 140, 140, 0, true, false, true, 3000},  // take-off roll
        {600, 250, 250, 2500, false, false, false, 3000}, // climb
        {600, 450, 280, 0, false, false, false, 2400},    // cruise
        {540, 300, 250, -2000, false, false, false, 1500}, // descent
        {420, 200, 180, -800, false, false, true, 1500},   // approach
        {400, 140, 140, -350, false, false, true, 1500},   // final, ends at the ground
        {20, 60, 60, 0, true, false, true, 600},     // roll-out
        {120, 15, 15, 0, true, false, true, 300},    // taxi in
        {60, 0, 0, 0, true, true, true, 0},          // on stand, brake set
    };
}

} // namespace

TEST(WholeFlight, ScriptedFlightRunsThroughEveryPhaseToOnBlock)
{
    FlightFixture f;
    f.sim->legs = airlineFlight();
    f.startFlying();

    std::vector<int> phases{f.sim->lFlightPhase};
    const bool ended = f.tickUntil(
        [&] {
            if (f.sim->lFlightPhase != phases.back())
                phases.push_back(f.sim->lFlightPhase);
            return f.ui->presses(IdEndFlight) > 0;
        },
        3600 * 1000);

    ASSERT_TRUE(ended) << "the driver never pressed End flight";
    const std::vector<int> expected{PhaseBoarding, PhaseTaxi,    PhaseTakeOff, PhaseClimb, PhaseCruise,
                                    PhaseDescent,  PhaseLanded, PhaseOnBlock};
    EXPECT_EQ(phases, expected);
    EXPECT_EQ(f.sim->lLandingVerticalSpeed, -350);
    EXPECT_GT(f.sim->dTakeoffTime, 0.0);
    EXPECT_GT(f.sim->lFuelAtTakeoff, f.sim->lFuelAtLanding);
    EXPECT_FALSE(f.ui->getReport().hasPenalty(ItemHardLanding));
    EXPECT_FALSE(f.ui->getReport().hasPenalty(ItemTaxiOverspeed));
    EXPECT_TRUE(f.logs.contains("Button clicked: End flight (ID=9)"));
    EXPECT_NE(f.ui->getClient().report.departSeconds, 0.0);
    EXPECT_EQ(f.sim->texts.front(), "FlightState - Taxi");
    EXPECT_EQ(f.sim->texts.back(), "FlightState - On Block");
    EXPECT_EQ(f.sounds.played.back(), "sound/en/ding_dong.wav");
}

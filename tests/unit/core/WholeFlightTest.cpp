// A whole scripted flight driven only through the client's tick.
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "support/StoreFiles.h"
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
    EXPECT_EQ(f.sim->lLandingVerticalSpeed, -350) << "the final approach's sink rate";
    // 6000 kg at the start; taxi 10 kg, roll 20.8 kg, 1.7 s of climb to 70 ft 1.4 kg.
    EXPECT_NEAR(f.sim->lFuelAtTakeoff, 5968, 1);
    // Then climb 500, cruise 400, descent 225, approach 175, final 100 kg.
    EXPECT_NEAR(f.sim->lFuelAtLanding, 4569, 1);
    EXPECT_FALSE(f.ui->getReport().hasPenalty(ItemHardLanding));
    EXPECT_FALSE(f.ui->getReport().hasPenalty(ItemTaxiOverspeed));
    EXPECT_TRUE(f.logs.contains("Button clicked: End flight (ID=9)"));
    // The aircraft starts to move after 20 s of boarding, at 10:00 on the simulator's clock.
    EXPECT_NEAR(f.ui->getClient().report.departSeconds, 20.0, 0.2);
    EXPECT_STREQ(f.ui->getClient().report.Deptime, "1000");
    EXPECT_EQ(f.sim->texts.front(), "FlightState - Taxi");
    EXPECT_EQ(f.sim->texts.back(), "FlightState - On Block");
    EXPECT_EQ(f.sounds.played.back(), "sound/en/ding_dong.wav");
}

// A continued flight keeps what happened after the last autosave: the
// touchdown and a new report item are backed up at once.
TEST(WholeFlight, TouchdownAndNewItemsAreBackedUpAtOnce)
{
    startWithEmptyStore();
    FlightFixture f;
    f.sim->legs = airlineFlight();
    f.startFlying();
    f.ui->autosaveMode = 1;
    ASSERT_TRUE(f.tickUntil([&] { return f.sim->lFlightPhase == PhaseCruise; }, 3600 * 1000));
    f.ui->getReport().addPenalty(ItemLowAltitude);
    f.tickFor(5000); // the next check, at the cruise's interval
    CReport& report = f.ui->getReport();
    report.removePenalty(ItemLowAltitude);
    ASSERT_TRUE(report.loadBackup());
    EXPECT_TRUE(report.hasPenalty(ItemLowAltitude));

    ASSERT_TRUE(f.tickUntil([&] { return f.sim->lFlightPhase == PhaseLanded; }, 3600 * 1000));
    f.tickFor(1000);
    f.sim->holdSnapshot = true;
    f.sim->lLandingVerticalSpeed = 0;
    ASSERT_TRUE(report.loadBackup());
    EXPECT_EQ(f.sim->lLandingVerticalSpeed, -350);
    startWithEmptyStore();
}

// A whole airline flight flown by qvl-sim and watched by the client driver
// through the module link. The simulator runs in this process, stepped in
// lockstep with the manual clock, so an hour of flying takes seconds and
// every run sees the same flight; the link still goes over the socket and
// the shared block.
#include "core/FixedText.h"
#include "integration/fsuipc/LockstepSimulator.h"
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FlightFixture.h"
#include "support/FsuipcTestDirectory.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

namespace {

double touchdownRate(const SimScenario& s)
{
    for (const SimAction& a : s.actions) {
        if (a.type == SimAction::Type::Land)
            return a.rateFpm;
    }
    return 0.0;
}

class FsuipcWholeFlightTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CClient::resetProcessValues();
        ASSERT_TRUE(lockstep.start(dir.path()));
        ui = std::make_unique<RecordingUserInterface>(window, sounds);
        CClientInterface& c = ui->getClient();
        bookFlight(c, TestBooking{"EDDF", 50.0333, 8.5706, "EDDM", 48.3538, 11.7861, "70", "1500", 78000});
        ui->setSimulator(std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(c));
        client = std::make_unique<CClient>(*ui);
    }
    void TearDown() override
    {
        client.reset();
        ui.reset();
        CFsuipcLink::instance().close();
    }

    // One driver tick, with the simulator moved on by the time the tick used.
    void tick()
    {
        lockstep.catchUp();
        client->tick();
    }

    ScopedManualClock clock;
    CFsuipcTestDirectory dir;
    LockstepSimulator lockstep{loadAirlineScenario()};
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    std::unique_ptr<RecordingUserInterface> ui;
    std::unique_ptr<CClient> client;
};

TEST_F(FsuipcWholeFlightTest, AirlineFlightPassesEveryPhaseToOnBlock)
{
    CFlightSimulatorInterface& fs = *ui->getSimulator();
    ASSERT_TRUE(fs.isConnected());
    ui->ResetFlight();
    fs.lPassengers = 70;
    fs.lCargo = 1500;
    // What the start action records: the fuel on board, and no fuel minimum yet.
    ASSERT_GT(fs.getAircraftTanks(), 0);
    fs.lFuelAtStart = fs.fuelOnBoardRounded();
    fs.nMinFuel = -1;
    ui->getFlightState().setPhase(PhaseBoarding);
    ui->SetPage(PageFlying);

    std::vector<int> phases{fs.lFlightPhase};
    const std::int64_t end = clock->nowMs() + 2 * 3600 * 1000;
    while (clock->nowMs() < end && ui->presses(IdEndFlight) == 0) {
        tick();
        if (fs.lFlightPhase != phases.back())
            phases.push_back(fs.lFlightPhase);
    }

    ASSERT_GT(ui->presses(IdEndFlight), 0) << "the driver never ended the flight";
    const std::vector<int> expected{PhaseBoarding, PhaseTaxi,    PhaseTakeOff, PhaseClimb,
                                    PhaseCruise,   PhaseDescent, PhaseLanded,  PhaseOnBlock};
    EXPECT_EQ(phases, expected);
    EXPECT_NEAR(fs.lLandingVerticalSpeed, touchdownRate(loadAirlineScenario()), 10.0);
    EXPECT_FALSE(ui->getReport().hasPenalty(ItemHardLanding));
    EXPECT_GT(fs.lFuelAtTakeoff, fs.lFuelAtLanding);
    EXPECT_LT(CClientInterface::distanceNm(fs.dLatitude, fs.dLongitude, 48.3538, 11.7861), 3.0);
    EXPECT_GT(fs.dFlightTime, 30 * 60.0);
}

} // namespace

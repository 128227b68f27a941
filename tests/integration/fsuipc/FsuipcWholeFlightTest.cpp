// A whole airline flight flown by qvl-sim and watched by the client driver
// through the module link. The simulator runs in this process, stepped in
// lockstep with the manual clock; the link still goes over the socket and the
// shared block.
#include "Simulator.h"
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FsuipcTestDirectory.h"
#include "support/WholeFlight.h"

#include <gtest/gtest.h>

namespace {

SimScenario airline()
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json", s, error)) << error;
    return s;
}

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
        ASSERT_TRUE(sim.startServer("UIPCMAIN", dir.path()));
        flight = std::make_unique<CWholeFlight>(
            [](CClientInterface& c) { return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(c); },
            [this](double seconds) { sim.advance(seconds); });
    }
    void TearDown() override
    {
        flight.reset();
        CFsuipcLink::instance().close();
    }

    CFsuipcTestDirectory dir;
    CSimulator sim{airline()};
    std::unique_ptr<CWholeFlight> flight;
};

TEST_F(FsuipcWholeFlightTest, AirlineFlightPassesEveryPhaseToOnBlock)
{
    CFlightSimulatorInterface& fs = flight->simulator();
    ASSERT_TRUE(fs.isConnected());
    const WholeFlightOutcome out = flight->fly(2 * 3600 * 1000);

    ASSERT_TRUE(out.ended) << "the driver never ended the flight";
    const std::vector<int> expected{PhaseBoarding, PhaseTaxi,    PhaseTakeOff, PhaseClimb,
                                    PhaseCruise,   PhaseDescent, PhaseLanded,  PhaseOnBlock};
    EXPECT_EQ(out.phases, expected);
    EXPECT_NEAR(fs.lLandingVerticalSpeed, touchdownRate(airline()), 10.0);
    EXPECT_FALSE(flight->ui().getReport().hasPenalty(ItemHardLanding));
    EXPECT_GT(fs.lFuelAtTakeoff, fs.lFuelAtLanding);
    EXPECT_LT(CClientInterface::distanceNm(fs.dLatitude, fs.dLongitude, 48.3538, 11.7861), 3.0);
    EXPECT_GT(fs.dFlightTime, 30 * 60.0);
}

} // namespace

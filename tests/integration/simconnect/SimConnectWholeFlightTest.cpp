// The same airline flight watched once through the module link and once
// through the stand-in SimConnect library: the client must see the same
// flight whichever bridge carries it.
#include "Simulator.h"
#include "monitor/FlightState.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "sim/simconnect/FlightSimulatorInterfaceUsingSdk.h"
#include "support/FsuipcTestDirectory.h"
#include "support/SimConnectStandIn.h"
#include "support/WholeFlight.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kLimitMs = 2 * 3600 * 1000;

SimScenario airline()
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json", s, error)) << error;
    return s;
}

struct Flown {
    WholeFlightOutcome outcome;
    int touchdown = 0;
    std::string bridge;
};

Flown flyOverFsuipc()
{
    CFsuipcTestDirectory dir;
    CSimulator sim(airline());
    EXPECT_TRUE(sim.startServer("UIPCMAIN", dir.path()));
    Flown f;
    {
        CWholeFlight flight(
            [](CClientInterface& c) { return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(c); },
            [&](double seconds) { sim.advance(seconds); });
        f.outcome = flight.fly(kLimitMs);
        f.touchdown = flight.simulator().lLandingVerticalSpeed;
        f.bridge = flight.simulator().getInterfaceName();
    }
    CFsuipcLink::instance().close();
    return f;
}

Flown flyOverSimConnect()
{
    CSimConnectStandIn standIn(QVL_SIMCONNECT_DIR);
    Flown f;
    CWholeFlight flight(
        [](CClientInterface& c) {
            auto sdk = std::make_unique<CFlightSimulatorInterfaceUsingSdk>(c);
            EXPECT_TRUE(sdk->connect());
            return sdk;
        },
        [&](double seconds) { standIn.advance(seconds); });
    f.outcome = flight.fly(kLimitMs);
    f.touchdown = flight.simulator().lLandingVerticalSpeed;
    f.bridge = flight.simulator().getInterfaceName();
    return f;
}

TEST(SimConnectWholeFlightTest, BothBridgesSeeTheSameFlight)
{
    const Flown fsuipc = flyOverFsuipc();
    const Flown sdk = flyOverSimConnect();
    ASSERT_EQ(fsuipc.bridge, "FSUIPC");
    ASSERT_EQ(sdk.bridge, "SimConnect");
    ASSERT_TRUE(fsuipc.outcome.ended);
    ASSERT_TRUE(sdk.outcome.ended) << "the driver never ended the flight over SimConnect";
    const std::vector<int> expected{PhaseBoarding, PhaseTaxi,    PhaseTakeOff, PhaseClimb,
                                    PhaseCruise,   PhaseDescent, PhaseLanded,  PhaseOnBlock};
    EXPECT_EQ(sdk.outcome.phases, expected);
    EXPECT_EQ(sdk.outcome.phases, fsuipc.outcome.phases);
    EXPECT_EQ(sdk.outcome.reportItems, fsuipc.outcome.reportItems);
    EXPECT_NEAR(sdk.touchdown, fsuipc.touchdown, 10) << "touchdown over FSUIPC " << fsuipc.touchdown;
}

} // namespace

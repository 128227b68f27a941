// The FlightGear bridge against qvl-sim's property server over loopback TCP:
// through each of the stand-in's fault modes the snapshot keeps the model's
// values (a spoiled batch is no snapshot, never a zero), a cut connection is
// found again, and the polls that come through carry the model.
#include "platform/TcpNetwork.h"
#include "server/ClientInterface.h"
#include "sim/flightgear/FlightSimulatorInterfaceUsingFlightGear.h"

#include "integration/fsuipc/LockstepSimulator.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct StandInFault {
    const char* name;
    CFlightGearServer::Fault fault;
    bool everyPollGood;
};

class FlightGearStandIn : public ::testing::TestWithParam<StandInFault> {
protected:
    void SetUp() override
    {
        setTcpNetwork(network.get());
        sim.startClock(1.0);
    }
    void TearDown() override
    {
        sim.stopClock();
        setTcpNetwork(nullptr);
    }

    std::unique_ptr<TcpNetwork> network = createPlatformTcpNetwork();
    CSimulator sim{loadAirlineScenario()};
    CClientInterface client;
};

TEST_P(FlightGearStandIn, SnapshotStaysTheModelsThroughTheFault)
{
    sim.flightgearServer().setFault(GetParam().fault);
    ASSERT_TRUE(sim.startFlightGearServer(0));
    FlightGearSettings settings;
    settings.port = sim.flightgearServer().port();
    CFlightSimulatorInterfaceUsingFlightGear bridge(client, settings);

    int good = 0;
    int bad = 0;
    for (int poll = 0; poll < 24; ++poll) {
        // The driver's reconnect: a cut connection is opened again at the next tick.
        if (!bridge.isConnected() && !bridge.connect())
            continue;
        if (bridge.getEverything())
            ++good;
        else
            ++bad;
        if (good > 0) {
            EXPECT_NEAR(bridge.dLatitude, 50.0333, 1e-3) << "poll " << poll;
            EXPECT_EQ(bridge.nEngines, 2);
            EXPECT_EQ(bridge.lGroundAltitude, 364);
        }
    }
    EXPECT_GE(good, 8);
    if (GetParam().everyPollGood)
        EXPECT_EQ(bad, 0);
    else
        EXPECT_GT(bad, 0) << "the fault never reached the bridge";
    // The tanks' read may meet a cut of its own: read again as the driver would.
    int tanks = -1;
    for (int attempt = 0; attempt < 3 && tanks <= 0; ++attempt)
        tanks = bridge.isConnected() || bridge.connect() ? bridge.getAircraftTanks() : -1;
    EXPECT_GT(tanks, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, FlightGearStandIn,
                         ::testing::Values(StandInFault{"none", CFlightGearServer::Fault::None, true},
                                           StandInFault{"missing", CFlightGearServer::Fault::Missing, false},
                                           StandInFault{"garbage", CFlightGearServer::Fault::Garbage, false},
                                           StandInFault{"hangup", CFlightGearServer::Fault::Hangup, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

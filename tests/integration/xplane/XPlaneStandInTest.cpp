// The X-Plane bridge against qvl-sim's X-Plane interface over loopback UDP:
// the stand-in's fault modes in a table (the bridge's snapshot stays the
// model's), its writes acted on, and a simulator that goes away and comes
// back without its subscriptions.
#include "platform/Clock.h"
#include "platform/UdpNetwork.h"
#include "server/ClientInterface.h"
#include "sim/xplane/FlightSimulatorInterfaceUsingXPlane.h"

#include "integration/fsuipc/LockstepSimulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace {

struct StandInFault {
    const char* name;
    CXPlaneServer::Fault fault;
};

class XPlaneStandIn : public ::testing::TestWithParam<StandInFault> {
protected:
    void SetUp() override
    {
        setUdpNetwork(network.get());
        sim.startClock(1.0);
    }
    void TearDown() override
    {
        sim.stopClock();
        setUdpNetwork(nullptr);
    }
    XPlaneSettings settingsFor(std::uint16_t port)
    {
        XPlaneSettings s;
        s.port = port;
        return s;
    }

    std::unique_ptr<UdpNetwork> network = createPlatformUdpNetwork();
    CSimulator sim{loadAirlineScenario()};
    CClientInterface client;
};

TEST_P(XPlaneStandIn, BridgeReadsTheModelThroughTheFault)
{
    sim.xplaneServer().setFault(GetParam().fault);
    ASSERT_TRUE(sim.startXPlaneServer(0, false));
    CFlightSimulatorInterfaceUsingXPlane bridge(client, settingsFor(sim.xplaneServer().port()));
    ASSERT_TRUE(bridge.connect());
    const auto started = std::chrono::steady_clock::now();
    for (int poll = 0; poll < 8; ++poll) {
        // A poll whose values have not all arrived fails (the last values
        // stay); on a loaded machine the next one must make up for it.
        bool read = bridge.getEverything();
        for (int retry = 0; !read && retry < 40; ++retry) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            read = bridge.getEverything();
        }
        ASSERT_TRUE(read) << poll;
        EXPECT_NEAR(bridge.dLatitude, 50.0333, 1e-4);
        EXPECT_EQ(bridge.nEngines, 2);
        EXPECT_EQ(bridge.lGroundAltitude, 364);
        EXPECT_EQ(bridge.lEmptyWeight, 42600);
        // Two main tanks of 1816 gallons at 6.7 lb, 60 % full, burning at the
        // stand (under 1 kg a second) for as long as a loaded machine takes.
        const double full = 2 * 1816 * 0.6 * 6.7 * 0.45359237;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const double tanks = bridge.getAircraftTanks();
        EXPECT_LE(tanks, full + 15.0);
        EXPECT_GE(tanks, full - 15.0 - seconds);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_STREQ(bridge.szZuluTime, "0800");
    EXPECT_TRUE(bridge.isConnected());
}

INSTANTIATE_TEST_SUITE_P(Table, XPlaneStandIn,
                         ::testing::Values(StandInFault{"none", CXPlaneServer::Fault::None},
                                           StandInFault{"malformed", CXPlaneServer::Fault::Malformed},
                                           StandInFault{"truncated", CXPlaneServer::Fault::Truncated},
                                           StandInFault{"lose", CXPlaneServer::Fault::Lose},
                                           StandInFault{"reorder", CXPlaneServer::Fault::Reorder}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(XPlaneStandIn, SilentSimulatorIsNeverTakenForConnected)
{
    sim.xplaneServer().setFault(CXPlaneServer::Fault::Silent);
    ASSERT_TRUE(sim.startXPlaneServer(0, false));
    CFlightSimulatorInterfaceUsingXPlane bridge(client, settingsFor(sim.xplaneServer().port()));
    EXPECT_FALSE(bridge.connect());
    EXPECT_FALSE(bridge.getEverything());
}

TEST_F(XPlaneStandIn, WritesReachTheModelAndARestartedSimulatorIsFoundAgain)
{
    ASSERT_TRUE(sim.startXPlaneServer(0, false));
    CFlightSimulatorInterfaceUsingXPlane bridge(client, settingsFor(sim.xplaneServer().port()));
    ASSERT_TRUE(bridge.connect());
    ASSERT_TRUE(bridge.getEverything());
    ASSERT_GT(bridge.getAircraftTanks(), 0);
    bridge.distributeFuel(9000);
    ASSERT_EQ(bridge.setAircraftTanks(), 1);
    bridge.pauseSimulator();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(sim.state().paused);
    EXPECT_NEAR(sim.state().tankGallons[1] + sim.state().tankGallons[2], 9000 / (6.7 * 0.45359237), 1.0);

    // Gone: the driver's ticks drain the socket and see the silence within the bound.
    sim.xplaneServer().setAway(true);
    bool lost = false;
    for (int tick = 0; tick < 40 && !lost; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        bridge.checkFrequently();
        lost = !bridge.isConnected();
    }
    EXPECT_TRUE(lost);
    sim.xplaneServer().setAway(false);
    ASSERT_TRUE(bridge.connect()) << "subscribed afresh";
    EXPECT_TRUE(bridge.getEverything());
}

} // namespace

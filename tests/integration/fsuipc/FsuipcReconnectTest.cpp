// A simulator that dies mid-flight and comes back: the adapter's next polls
// fail, then reopen the link by themselves under a new mapping name.
#include "platform/Clock.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FsuipcTestDirectory.h"
#include "support/SimProcess.h"
#include "support/SimRecordFile.h"

#include "Simulator.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

class FsuipcReconnectTest : public ::testing::Test {
protected:
    void TearDown() override { CFsuipcLink::instance().close(); }

    std::unique_ptr<CSimProcess> startSim(const std::string& record, const std::string& startAt)
    {
        auto sim = std::make_unique<CSimProcess>(CSimProcess::programPath(QVL_BINARY_DIR),
                                                 std::vector<std::string>{"run", "airline_eddf_eddm", "--time-scale",
                                                                          "10", "--start-at", startAt, "--record",
                                                                          dir.file(record)});
        EXPECT_TRUE(sim->start());
        return sim;
    }

    CFsuipcTestDirectory dir;
    CClientInterface client;
};

TEST_F(FsuipcReconnectTest, KilledSimulatorIsPickedUpAgainAfterItsRestart)
{
    auto sim = startSim("first", "1000");
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    ASSERT_GT(fs.lRadarAltitude, 10000);
    const std::string firstName = CFsuipcLink::instance().getMappingName();

    sim->kill();
    EXPECT_FALSE(fs.getEverything());
    EXPECT_FALSE(fs.isConnected());
    EXPECT_FALSE(fs.getEverything()); // nobody listens: the reopen fails too

    sim = startSim("second", "1100");
    ASSERT_TRUE(fs.getEverything());
    EXPECT_TRUE(fs.isConnected());
    EXPECT_GT(fs.lRadarAltitude, 10000);
    const std::string secondName = CFsuipcLink::instance().getMappingName();
    EXPECT_NE(secondName, firstName);
    const auto mappings = CSimRecordFile(dir.file("second")).linesOf("mapping");
    ASSERT_FALSE(mappings.empty());
    EXPECT_EQ(mappings.front().text, secondName);
}

TEST_F(FsuipcReconnectTest, SimulatorAwayForAWhileIsReconnectedByTheNextPolls)
{
    // The scenario makes the simulator unreachable for 20 s of its time in cruise;
    // start it ten seconds before that, running twenty times faster than real time.
    SimScenario scenario;
    std::string error;
    ASSERT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/midflight_disconnect.json", scenario, error));
    CSimulator reference(scenario);
    int at = 0;
    while (reference.record().eventsOf("disconnect").empty() && at < 4 * 3600) {
        reference.advance(1.0);
        ++at;
    }
    ASSERT_FALSE(reference.record().eventsOf("disconnect").empty());
    auto sim = std::make_unique<CSimProcess>(CSimProcess::programPath(QVL_BINARY_DIR),
                                             std::vector<std::string>{"run", "midflight_disconnect", "--time-scale",
                                                                      "20", "--start-at", std::to_string(at - 10),
                                                                      "--record", dir.file("record")});
    ASSERT_TRUE(sim->start());
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    bool sawFailure = false, recovered = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!recovered && std::chrono::steady_clock::now() < deadline) {
        const bool ok = fs.getEverything();
        sawFailure = sawFailure || !ok;
        recovered = sawFailure && ok;
        processClock().sleepMs(50);
    }
    EXPECT_TRUE(sawFailure);
    EXPECT_TRUE(recovered);
    EXPECT_EQ(CSimRecordFile(dir.file("record")).linesOf("reconnect").size(), 1u);
}

} // namespace

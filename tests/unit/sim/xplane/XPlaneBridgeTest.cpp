// The X-Plane bridge against a scripted X-Plane on the manual clock: the
// fault table (lost, reordered, partial and malformed answers, strangers,
// a silent and a restarted simulator), the writes it makes, the rate that
// follows the height and the beacon of the automatic choice.
#include "platform/headless/ManualClock.h"
#include "server/ClientInterface.h"
#include "sim/SimulatorChoice.h"
#include "sim/xplane/FlightSimulatorInterfaceUsingXPlane.h"
#include "sim/xplane/XPlanePackets.h"
#include "support/ScriptedXPlane.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

namespace {

namespace D = XPlaneDatarefs;
using Bridge = CFlightSimulatorInterfaceUsingXPlane;

void setFlying(ScriptedXPlane& xp)
{
    for (int i = 0; i < D::Count; ++i)
        xp.values[i] = 0.0f;
    xp.values[D::Latitude] = 49.1f;
    xp.values[D::Longitude] = 10.2f;
    xp.values[D::PressureAltitude] = 3000.0f;
    xp.values[D::Elevation] = 1000.0f;
    xp.values[D::HeightAboveGround] = 600.0f;
    xp.values[D::VerticalSpeed] = -700.0f;
    xp.values[D::IndicatedAirspeed] = 180.0f;
    xp.values[D::EngineCount] = 2.0f;
    xp.values[D::SimulationSpeed] = 1.0f;
    xp.values[D::ZuluSeconds] = 30000.0f;
    xp.values[D::LocalSeconds] = 37200.0f;
    xp.values[D::InternalVersion] = 120012.0f;
    xp.values[D::TankCount] = 3.0f;
    xp.values[D::FuelCapacity] = 18000.0f;
    for (int i = 0; i < 3; ++i) {
        xp.values[D::TankRatio0 + i] = 1.0f / 3.0f;
        xp.values[D::TankFuel0 + i] = 2000.0f;
    }
}

class XPlaneBridge : public ::testing::Test {
protected:
    void SetUp() override { setFlying(xp); }

    ScopedManualClock clock;
    ScriptedXPlane xp;
    CClientInterface client;
    Bridge bridge{client, XPlaneSettings{}};
};

struct Fault {
    const char* name;
    // Spoils the answers; the snapshot must still come right from the good ones.
    std::function<bool(ScriptedXPlane::Packet&, int n)> filter;
};

class XPlaneFaults : public XPlaneBridge, public ::testing::WithParamInterface<Fault> {};

TEST_P(XPlaneFaults, SnapshotStaysTrueAndNoLostValueBecomesZero)
{
    ASSERT_TRUE(bridge.connect());
    ASSERT_TRUE(bridge.getEverything());
    int n = 0;
    xp.filter = [&](ScriptedXPlane::Packet& p) { return GetParam().filter(p, n++); };
    xp.values[D::VerticalSpeed] = -750.0f;
    for (int poll = 0; poll < 20; ++poll) {
        clock->advance(50);
        ASSERT_TRUE(bridge.getEverything()) << poll;
        EXPECT_EQ(bridge.lVerticalSpeed, -750);
        EXPECT_EQ(bridge.nEngines, 2);
        EXPECT_NEAR(bridge.dLatitude, 49.1, 1e-5);
        ASSERT_GT(bridge.getAircraftTanks(), 0);
        EXPECT_FLOAT_EQ(bridge.fTankLevel[CFlightSimulatorObjects::TankCentre], 2000.0f);
    }
    EXPECT_TRUE(bridge.isConnected());
}

ScriptedXPlane::Packet spoilt(const ScriptedXPlane::Packet& p, int kind)
{
    ScriptedXPlane::Packet bad = p;
    switch (kind) {
    case 0: bad[3] = 'X'; break;                  // not an answer
    case 1: bad.resize(bad.size() - 3); break;    // cut short
    case 2: {                                     // a value that is no number
        const float nan = std::numeric_limits<float>::quiet_NaN();
        std::memcpy(bad.data() + 9, &nan, 4);
        break;
    }
    default: std::memset(bad.data() + 5, 0x7F, 4); // an index never subscribed
    }
    return bad;
}

INSTANTIATE_TEST_SUITE_P(
    Table, XPlaneFaults,
    ::testing::Values(
        Fault{"every_other_answer_lost", [](ScriptedXPlane::Packet&, int n) { return n % 2 == 0; }},
        Fault{"two_of_three_lost", [](ScriptedXPlane::Packet&, int n) { return n % 3 == 0; }},
        Fault{"answers_reordered",
              [](ScriptedXPlane::Packet& p, int n) {
                  // An older answer arriving late carries the same values: a stale value, never a zero.
                  static ScriptedXPlane::Packet late;
                  if (n % 2 == 0) {
                      late = p;
                      return false;
                  }
                  p.insert(p.end(), late.begin() + 5, late.end());
                  return true;
              }},
        Fault{"half_the_values_missing_in_turn",
              [](ScriptedXPlane::Packet& p, int n) {
                  const std::size_t pairs = (p.size() - 5) / 8;
                  const std::size_t half = pairs / 2;
                  if (n % 2 == 0)
                      p.resize(5 + half * 8);
                  else
                      p.erase(p.begin() + 5, p.begin() + 5 + static_cast<long>(half * 8));
                  return true;
              }},
        Fault{"malformed_between_good_ones",
              [](ScriptedXPlane::Packet& p, int n) {
                  if (n % 2 == 1)
                      p = spoilt(p, n / 2 % 4);
                  return true;
              }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(XPlaneBridge, ValuesThatNeverArriveFailThePollWithoutTouchingTheSnapshot)
{
    ASSERT_TRUE(bridge.connect());
    ASSERT_TRUE(bridge.getEverything());
    // The vertical speed is left out of every answer from now on.
    xp.filter = [](ScriptedXPlane::Packet& p) {
        for (std::size_t at = 5; at + 8 <= p.size(); at += 8) {
            if (p[at] == D::VerticalSpeed && p[at + 1] == 0) {
                p.erase(p.begin() + static_cast<long>(at), p.begin() + static_cast<long>(at) + 8);
                break;
            }
        }
        return true;
    };
    xp.values[D::VerticalSpeed] = 0.0f;
    xp.values[D::IndicatedAirspeed] = 120.0f;
    clock->advance(50);
    EXPECT_FALSE(bridge.getEverything());
    EXPECT_EQ(bridge.lVerticalSpeed, -700) << "kept, not zeroed";
    EXPECT_EQ(bridge.lIndicatedAirspeed, 180) << "a half-complete set is not applied";
}

TEST_F(XPlaneBridge, PacketsFromAnyOtherAddressAreIgnored)
{
    ASSERT_TRUE(bridge.connect());
    ASSERT_TRUE(bridge.getEverything());
    xp.silent = true;
    ScriptedXPlane::Packet forged{'R', 'R', 'E', 'F', ','};
    for (std::int32_t i = 0; i < D::Count; ++i) {
        forged.insert(forged.end(), {static_cast<std::uint8_t>(i), 0, 0, 0, 0, 0, 0, 0});
    }
    xp.inject(forged, UdpEndpoint{0x7F000001, 49001});
    xp.inject(forged, UdpEndpoint{0xC0A80002, 49000});
    clock->advance(50);
    EXPECT_FALSE(bridge.getEverything());
    EXPECT_EQ(bridge.lVerticalSpeed, -700);
    EXPECT_NEAR(bridge.dLatitude, 49.1, 1e-5);
}

TEST_F(XPlaneBridge, SilentSimulatorIsNotConnectedWithinTheBoundAndARestartedOneIsFoundAgain)
{
    ASSERT_TRUE(bridge.connect());
    ASSERT_TRUE(bridge.isConnected());
    xp.silent = true;
    xp.restart(); // it went away and forgot the subscriptions
    clock->advance(Bridge::kSilenceMs - 100);
    EXPECT_TRUE(bridge.isConnected()) << "not yet: a short gap is no loss";
    clock->advance(200);
    EXPECT_FALSE(bridge.isConnected());
    EXPECT_FALSE(bridge.connect()) << "still gone";
    xp.silent = false;
    EXPECT_TRUE(bridge.connect()) << "back: subscribed afresh";
    EXPECT_EQ(xp.subscriptionCount(), static_cast<std::size_t>(D::Count));
    EXPECT_TRUE(bridge.getEverything());
}

TEST_F(XPlaneBridge, SubscriptionRateFollowsTheHeightAboveGround)
{
    ASSERT_TRUE(bridge.connect());
    for (const auto& [metres, rate] : std::vector<std::pair<float, int>>{{1000.0f, 1}, {10.0f, 20}, {100.0f, 10}, {600.0f, 4}}) {
        xp.values[D::HeightAboveGround] = metres;
        clock->advance(1000);
        ASSERT_TRUE(bridge.getEverything());
        EXPECT_EQ(xp.subscribedRate(), rate) << metres << " m";
    }
}

TEST_F(XPlaneBridge, WritesBecomeDatarefsAndCommands)
{
    ASSERT_TRUE(bridge.connect());
    ASSERT_TRUE(bridge.getEverything());
    ASSERT_EQ(bridge.getAircraftTanks(), 6000);
    bridge.distributeFuel(9000);
    ASSERT_EQ(bridge.setAircraftTanks(), 1);
    bridge.failEngine(1, true);
    bridge.applyFailure(5);
    bridge.applyFailure(6);
    bridge.setSimulationRate(4);
    bridge.pauseSimulator();
    std::vector<std::pair<std::string, float>> writes;
    for (const auto& w : xp.writes)
        writes.emplace_back(w.dataref, w.value);
    EXPECT_EQ(writes, (std::vector<std::pair<std::string, float>>{
                          {"sim/flightmodel/weight/m_fuel[0]", 4500.0f},
                          {"sim/flightmodel/weight/m_fuel[1]", 0.0f},
                          {"sim/flightmodel/weight/m_fuel[2]", 4500.0f},
                          {"sim/operation/failures/rel_engfai1", 6.0f},
                          {"sim/operation/failures/rel_flap_act", 6.0f},
                          {"sim/operation/failures/rel_gear_act", 6.0f},
                          {"sim/time/sim_speed", 4.0f}}));
    EXPECT_EQ(xp.commands, std::vector<std::string>{"sim/operation/pause_on"});
    EXPECT_FALSE(bridge.saveFlight(1)) << "X-Plane cannot save a flight over UDP";
}

TEST_F(XPlaneBridge, NamesItselfAndItsVersionInTheReport)
{
    ASSERT_TRUE(bridge.connect());
    ASSERT_TRUE(bridge.getEverything());
    EXPECT_EQ(bridge.getInterfaceName(), "X-Plane");
    EXPECT_EQ(bridge.getSimulatorReportCode(), "XP12");
    EXPECT_EQ(bridge.getVersionText(), "12.00");
    EXPECT_TRUE(bridge.checkVersion());
    xp.values[D::InternalVersion] = 115100.0f;
    clock->advance(50);
    ASSERT_TRUE(bridge.getEverything());
    EXPECT_EQ(bridge.getSimulatorReportCode(), "XP11");
}

TEST_F(XPlaneBridge, AutomaticChoiceTakesTheSimulatorItsBeaconNames)
{
    ScriptedXPlane::Packet beacon{'B', 'E', 'C', 'N', 0, 1, 2, 1, 0, 0, 0};
    const std::uint32_t version = 120012;
    for (int i = 0; i < 4; ++i)
        beacon.push_back(static_cast<std::uint8_t>(version >> (8 * i)));
    beacon.insert(beacon.end(), {1, 0, 0, 0, 0xD0, 0xBF, 'x', 'p', 0}); // master, port 49104
    xp.beacons.emplace_back(beacon, UdpEndpoint{ScriptedXPlane::kAddress, 61000});
    XPlaneSettings settings;
    settings.port = 1; // the configured port is not where it listens
    auto sim = createSimulatorInterface("", client, settings);
    // Port 49104 is not the scripted one: nothing answers there, so the choice falls back.
    EXPECT_EQ(sim->getInterfaceName(), "FSUIPC");
    xp.beacons.emplace_back(beacon, UdpEndpoint{ScriptedXPlane::kAddress, 61000});
    xp.beacons.back().first[19] = 0x68; // port 49000 (0xBF68)
    xp.beacons.back().first[20] = 0xBF;
    sim = createSimulatorInterface("", client, settings);
    EXPECT_EQ(sim->getInterfaceName(), "X-Plane");
}

} // namespace

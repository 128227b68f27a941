// Adapter rules that need a module answering odd values: the flight timer
// guard, the simulator's own flight time, and fuel writes with no fuel weight.
#include "platform/headless/ManualClock.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FsuipcMemoryTransport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class FsuipcAdapterUnitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CFsuipcLink::setTransport(&module);
        setClock(2026, 152, 8, 0, 0);
    }
    void TearDown() override { CFsuipcLink::setTransport(nullptr); }

    void setClock(int year, int day, int hour, int minute, int second)
    {
        module.set<std::uint8_t>(0x023A, static_cast<std::uint8_t>(second));
        module.set<std::uint8_t>(0x023B, static_cast<std::uint8_t>(hour));
        module.set<std::uint8_t>(0x023C, static_cast<std::uint8_t>(minute));
        module.set<std::uint16_t>(0x023E, static_cast<std::uint16_t>(day));
        module.set<std::uint16_t>(0x0240, static_cast<std::uint16_t>(year));
    }

    ScopedManualClock clock;
    CFsuipcMemoryTransport module;
    CClientInterface client;
};

TEST_F(FsuipcAdapterUnitTest, ForwardJumpIsNotCountedAndRemembersTheHeight)
{
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    fs.lGroundAltitude = 1200;
    fs.lRadarAltitude = 300;
    ASSERT_TRUE(fs.updateFlightTimer());
    EXPECT_EQ(fs.dFlightTime, 0.0);
    setClock(2026, 152, 8, 10, 0); // exactly ten minutes: counted
    ASSERT_TRUE(fs.updateFlightTimer());
    EXPECT_EQ(fs.dFlightTime, 600.0);
    EXPECT_EQ(fs.dLastAltitude, 0.0);
    setClock(2026, 152, 8, 20, 1); // ten minutes and a second: cut off
    ASSERT_TRUE(fs.updateFlightTimer());
    EXPECT_EQ(fs.dFlightTime, 600.0);
    EXPECT_EQ(fs.dLastAltitude, 1500.0);
    setClock(2026, 152, 8, 20, 31);
    ASSERT_TRUE(fs.updateFlightTimer());
    EXPECT_EQ(fs.dFlightTime, 630.0);
    EXPECT_STREQ(fs.szZuluTime, "0820");
}

TEST_F(FsuipcAdapterUnitTest, NewYearCountsOnAcrossTheDateLine)
{
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    setClock(2026, 365, 23, 59, 0);
    ASSERT_TRUE(fs.updateFlightTimer());
    setClock(2027, 1, 0, 1, 0);
    ASSERT_TRUE(fs.updateFlightTimer());
    EXPECT_EQ(fs.dFlightTime, 120.0);
}

TEST_F(FsuipcAdapterUnitTest, SimulatorFlightTimeIsTakenAsItIs)
{
    module.set<double>(0x04A8, 4321.5);
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.updateFlightTimer());
    EXPECT_EQ(fs.dFlightTime, 4321.5);
}

TEST_F(FsuipcAdapterUnitTest, OutOfRangeClockFieldsStayInsideTheTimeTexts)
{
    module.set<std::uint8_t>(0x023B, 255);
    module.set<std::uint8_t>(0x0238, 200);
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.updateFlightTimer());
    EXPECT_EQ(std::strlen(fs.szZuluTime), 4u);
    EXPECT_EQ(std::strlen(fs.szLocalTime), 4u);
}

TEST_F(FsuipcAdapterUnitTest, NoFuelWeightMeansNothingToWrite)
{
    module.set<std::uint16_t>(0x0AF4, 0);
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    fs.fTankCapacityGallons[1] = 1000.0f;
    fs.fTankLevel[1] = 500.0f;
    module.writtenOffsets.clear();
    EXPECT_EQ(fs.setAircraftTanks(), -1);
    EXPECT_TRUE(module.writtenOffsets.empty());
}

TEST_F(FsuipcAdapterUnitTest, FuelOutsideTheTanksIsReported)
{
    module.set<std::uint16_t>(0x0AF4, static_cast<std::uint16_t>(6.0 * 256));
    module.set<std::int32_t>(0x0B80, 100);     // left main, gallons
    module.set<std::int32_t>(0x0B7C, 4194304); // half full
    module.set<std::int32_t>(0x126C, 1000);    // pounds in all
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    EXPECT_EQ(fs.getAircraftTanks(), 453);
    EXPECT_NEAR(fs.fTankLevel[1], 50 * 6.0 * 0.4536, 1e-3);
    EXPECT_FLOAT_EQ(fs.fFuelOutsideTanks, 453.0f - 136.0f);
}

} // namespace

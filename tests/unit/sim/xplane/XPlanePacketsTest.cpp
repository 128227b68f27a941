// X-Plane's message layouts byte for byte (a field one byte off is a message
// X-Plane drops without a word), and the answers the parser refuses.
#include "sim/xplane/XPlanePackets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

using namespace XPlanePackets;

std::uint32_t u32(const Bytes& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(XPlanePackets, RequestsHaveXPlanesLayouts)
{
    Bytes rref, dref, cmnd;
    ASSERT_TRUE(rrefRequest(20, 7, "sim/time/paused", rref));
    ASSERT_EQ(rref.size(), kRrefRequestSize);
    EXPECT_EQ(std::string(rref.begin(), rref.begin() + 5), std::string("RREF\0", 5));
    EXPECT_EQ(u32(rref, 5), 20u);
    EXPECT_EQ(u32(rref, 9), 7u);
    EXPECT_STREQ(reinterpret_cast<const char*>(rref.data() + 13), "sim/time/paused");

    ASSERT_TRUE(drefPacket(1.5f, "sim/time/sim_speed", dref));
    ASSERT_EQ(dref.size(), kDrefSize);
    EXPECT_EQ(u32(dref, 5), 0x3FC00000u) << "1.5 as a little-endian float";
    EXPECT_STREQ(reinterpret_cast<const char*>(dref.data() + 9), "sim/time/sim_speed");

    ASSERT_TRUE(commandPacket("sim/operation/pause_on", cmnd));
    EXPECT_EQ(cmnd.size(), 5u + 22u + 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cmnd.data() + 5)), "sim/operation/pause_on");

    EXPECT_FALSE(rrefRequest(1, 0, std::string(400, 'x'), rref)) << "no room for the terminator";
    EXPECT_FALSE(drefPacket(1.0f, "", dref));
}

TEST(XPlanePackets, AnswersGiveTheirPairs)
{
    const Bytes answer{'R', 'R', 'E', 'F', ',', 3, 0, 0, 0, 0, 0, 0x80, 0x3F, 0x10, 0, 0, 0, 0, 0, 0x20, 0xC1};
    std::vector<RrefValue> values;
    std::string error;
    ASSERT_TRUE(parseRref(answer.data(), answer.size(), values, error)) << error;
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].index, 3);
    EXPECT_EQ(values[0].value, 1.0f);
    EXPECT_EQ(values[1].index, 16);
    EXPECT_EQ(values[1].value, -10.0f);
}

struct BadPacket {
    const char* name;
    Bytes bytes;
};

class RefusedAnswer : public ::testing::TestWithParam<BadPacket> {};

TEST_P(RefusedAnswer, IsAnErrorWithAReason)
{
    std::vector<RrefValue> values;
    std::string error;
    const Bytes& b = GetParam().bytes;
    EXPECT_FALSE(parseRref(b.empty() ? nullptr : b.data(), b.size(), values, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(values.empty());
}

Bytes withNaN()
{
    Bytes b{'R', 'R', 'E', 'F', ',', 1, 0, 0, 0};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    b.resize(13);
    std::memcpy(b.data() + 9, &nan, 4);
    return b;
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedAnswer,
                         ::testing::Values(BadPacket{"empty", {}}, BadPacket{"header_only", {'R', 'R', 'E', 'F', ','}},
                                           BadPacket{"other_kind", {'D', 'A', 'T', 'A', 0, 1, 0, 0, 0, 0, 0, 0, 0}},
                                           BadPacket{"cut_pair", {'R', 'R', 'E', 'F', ',', 1, 0, 0, 0, 0, 0, 0x80}},
                                           BadPacket{"not_a_number", withNaN()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(XPlanePackets, BeaconNamesItsPortAndVersion)
{
    Bytes b{'B', 'E', 'C', 'N', 0, 1, 2, 1, 0, 0, 0, 0xCC, 0xD4, 0x01, 0, 1, 0, 0, 0, 0x68, 0xBF, 'p', 'c', 0, 0, 0};
    Beacon beacon;
    std::string error;
    ASSERT_TRUE(parseBeacon(b.data(), b.size(), beacon, error)) << error;
    EXPECT_EQ(beacon.versionNumber, 120012);
    EXPECT_EQ(beacon.port, 49000);
    EXPECT_EQ(beacon.role, 1u);
    EXPECT_EQ(beacon.computerName, "pc");
    b.resize(20);
    EXPECT_FALSE(parseBeacon(b.data(), b.size(), beacon, error)) << "cut before the port";
}

} // namespace

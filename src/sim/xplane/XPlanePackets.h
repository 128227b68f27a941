// X-Plane's UDP messages as bytes: the dataref subscription (RREF) and its
// answers, dataref writes (DREF), commands (CMND) and the beacon (BECN).
// Every number on the wire is little-endian; texts are zero-terminated in
// fixed fields. Parsing never trusts a length: a bad packet is an error text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace XPlanePackets {

constexpr std::size_t kHeaderSize = 5;          // four letters and one byte
constexpr std::size_t kRrefNameSize = 400;      // RREF request: freq, index, name[400]
constexpr std::size_t kRrefRequestSize = 413;
constexpr std::size_t kDrefNameSize = 500;      // DREF: value, name[500]
constexpr std::size_t kDrefSize = 509;
constexpr std::size_t kMaxCommandSize = 500;
constexpr std::size_t kMaxPacketSize = 65536;   // the largest datagram there is
constexpr std::uint16_t kDefaultPort = 49000;   // where X-Plane listens
constexpr std::uint32_t kBeaconGroup = 0xEFFF0101; // 239.255.1.1
constexpr std::uint16_t kBeaconPort = 49707;

using Bytes = std::vector<std::uint8_t>;

struct RrefValue {
    std::int32_t index = 0;
    float value = 0.0f;
};

struct Beacon {
    std::uint8_t majorVersion = 0;
    std::uint8_t minorVersion = 0;
    std::int32_t hostId = 0;        // 1 X-Plane, 2 PlaneMaker
    std::int32_t versionNumber = 0; // 120012 for 12.0.12
    std::uint32_t role = 0;         // 1 master, 2 external visual, 3 IOS
    std::uint16_t port = 0;         // where it listens for these messages
    std::string computerName;
};

// Subscribes `index` to `dataref` at `perSecond` answers a second (0 stops it).
// False when the name does not fit its field.
bool rrefRequest(std::int32_t perSecond, std::int32_t index, const std::string& dataref, Bytes& out);
bool drefPacket(float value, const std::string& dataref, Bytes& out);
bool commandPacket(const std::string& command, Bytes& out);

// The four letters of a packet; empty when it is shorter than a header.
std::string kindOf(const std::uint8_t* data, std::size_t size);
// The index/value pairs of an RREF answer, appended to `out`.
bool parseRref(const std::uint8_t* data, std::size_t size, std::vector<RrefValue>& out, std::string& error);
bool parseBeacon(const std::uint8_t* data, std::size_t size, Beacon& out, std::string& error);

} // namespace XPlanePackets

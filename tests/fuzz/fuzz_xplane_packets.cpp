// Fuzzes what the X-Plane bridge takes from the network: the input is a list
// of datagrams (one byte of flags, two bytes of length, then the bytes) that a
// fake network hands out from the simulator's address, a stranger's, or as
// beacons, while the bridge connects, polls, reads its tanks and drains.
#include "platform/UdpNetwork.h"
#include "platform/headless/ManualClock.h"
#include "server/ClientInterface.h"
#include "sim/xplane/FlightSimulatorInterfaceUsingXPlane.h"
#include "sim/xplane/XPlanePackets.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

namespace {

struct Datagram {
    std::vector<std::uint8_t> bytes;
    UdpEndpoint from;
};

std::deque<Datagram> g_answers;
std::deque<Datagram> g_beacons;

class FuzzSocket final : public UdpSocket {
public:
    explicit FuzzSocket(std::deque<Datagram>& q) : queue(q) {}
    bool sendTo(const UdpEndpoint&, const std::uint8_t*, std::size_t) override { return true; }
    long receive(std::uint8_t* buffer, std::size_t capacity, UdpEndpoint& from) override
    {
        if (queue.empty())
            return 0;
        const Datagram d = std::move(queue.front());
        queue.pop_front();
        std::memcpy(buffer, d.bytes.data(), std::min(capacity, d.bytes.size()));
        from = d.from;
        return static_cast<long>(d.bytes.size());
    }
    std::uint16_t localPort() const override { return 1; }

private:
    std::deque<Datagram>& queue;
};

class FuzzNetwork final : public UdpNetwork {
public:
    std::unique_ptr<UdpSocket> open(std::uint16_t, std::string&) override
    {
        return std::make_unique<FuzzSocket>(g_answers);
    }
    std::unique_ptr<UdpSocket> joinGroup(const UdpEndpoint&, std::string&) override
    {
        return std::make_unique<FuzzSocket>(g_beacons);
    }
    bool resolve(const std::string&, std::uint32_t& address) override
    {
        address = 0x7F000001;
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ManualClock clock;
    static FuzzNetwork network;
    setProcessClock(&clock);
    setUdpNetwork(&network);
    g_answers.clear();
    g_beacons.clear();
    for (std::size_t at = 0; at + 3 <= size;) {
        const std::uint8_t flags = data[at];
        const std::size_t length = std::min<std::size_t>(data[at + 1] | data[at + 2] << 8, size - at - 3);
        Datagram d{std::vector<std::uint8_t>(data + at + 3, data + at + 3 + length),
                   UdpEndpoint{(flags & 1) != 0 ? 0x0A000001u : 0x7F000001u, 49000}};
        std::vector<XPlanePackets::RrefValue> values;
        std::string error;
        XPlanePackets::parseRref(d.bytes.data(), d.bytes.size(), values, error);
        XPlanePackets::Beacon beacon;
        XPlanePackets::parseBeacon(d.bytes.data(), d.bytes.size(), beacon, error);
        ((flags & 2) != 0 ? g_beacons : g_answers).push_back(std::move(d));
        at += 3 + length;
    }
    CClientInterface client;
    XPlaneSettings settings;
    settings.listenForBeacon = (size > 0 && (data[0] & 4) != 0);
    {
        CFlightSimulatorInterfaceUsingXPlane bridge(client, settings);
        if (bridge.connect()) {
            bridge.getEverything();
            bridge.getAircraftTanks();
            bridge.checkFrequently();
            bridge.getEverything();
            bridge.getSimulatorIdent();
            bridge.getVersionText();
        }
    }
    setUdpNetwork(nullptr);
    setProcessClock(nullptr);
    return 0;
}

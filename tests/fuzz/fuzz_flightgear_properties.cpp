// Fuzzes what the FlightGear bridge reads from the property server: the input
// is the byte stream the server sends, handed out in pieces whose sizes come
// from the input too, while the bridge connects, polls, reads its tanks and
// fuels them.
#include "platform/TcpNetwork.h"
#include "platform/headless/ManualClock.h"
#include "server/ClientInterface.h"
#include "sim/flightgear/FlightSimulatorInterfaceUsingFlightGear.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string g_stream;
std::size_t g_at = 0;

class FuzzStream final : public TcpStream {
public:
    bool sendAll(const std::string&) override { return true; }
    long receive(char* buffer, std::size_t capacity, int) override
    {
        if (g_at >= g_stream.size())
            return g_at++ == g_stream.size() ? 0 : -1;
        // The first byte of each piece says how long it is.
        const std::size_t piece = std::min<std::size_t>(
            {capacity, g_stream.size() - g_at, static_cast<unsigned char>(g_stream[g_at]) * 8u + 1u});
        std::memcpy(buffer, g_stream.data() + g_at, piece);
        g_at += piece;
        return static_cast<long>(piece);
    }
};

class FuzzNetwork final : public TcpNetwork {
public:
    std::unique_ptr<TcpStream> connect(const std::string&, std::uint16_t, int, std::string&) override
    {
        return std::make_unique<FuzzStream>();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzNetwork network;
    setTcpNetwork(&network);
    ScopedManualClock clock;
    g_stream.assign(reinterpret_cast<const char*>(data), size);
    g_at = 0;
    CClientInterface client;
    CFlightSimulatorInterfaceUsingFlightGear bridge(client, FlightGearSettings{});
    for (int attempt = 0; attempt < 3 && g_at <= g_stream.size(); ++attempt) {
        if (!bridge.connect())
            continue;
        bridge.getEverything();
        if (bridge.getAircraftTanks() > 0) {
            bridge.distributeFuel(50);
            bridge.setAircraftTanks();
        }
        bridge.getEverything();
    }
    setTcpNetwork(nullptr);
    return 0;
}

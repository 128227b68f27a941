// Registry of the process's UdpNetwork, and endpoint texts.
#include "platform/UdpNetwork.h"
#include "platform/SeamSlot.h"

namespace {
class NoNetwork final : public UdpNetwork {
public:
    std::unique_ptr<UdpSocket> open(std::uint16_t, std::string& error) override
    {
        error = "no network installed";
        return nullptr;
    }
    std::unique_ptr<UdpSocket> joinGroup(const UdpEndpoint&, std::string& error) override
    {
        error = "no network installed";
        return nullptr;
    }
    bool resolve(const std::string&, std::uint32_t&) override { return false; }
};

NoNetwork g_noNetwork;
constinit SeamSlot<UdpNetwork> g_network{g_noNetwork};
} // namespace

std::string UdpEndpoint::text() const
{
    return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 0xFF) + "." +
           std::to_string(address >> 8 & 0xFF) + "." + std::to_string(address & 0xFF) + ":" + std::to_string(port);
}

UdpNetwork& udpNetwork()
{
    return g_network.get();
}

void setUdpNetwork(UdpNetwork* network)
{
    g_network.install(network);
}

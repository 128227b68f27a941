// Registry of the process's TcpNetwork.
#include "platform/TcpNetwork.h"
#include "platform/SeamSlot.h"

namespace {
class NoTcpNetwork final : public TcpNetwork {
public:
    std::unique_ptr<TcpStream> connect(const std::string&, std::uint16_t, int, std::string& error) override
    {
        error = "no network installed";
        return nullptr;
    }
};

NoTcpNetwork g_noTcpNetwork;
constinit SeamSlot<TcpNetwork> g_tcpNetwork{g_noTcpNetwork};
} // namespace

TcpNetwork& tcpNetwork()
{
    return g_tcpNetwork.get();
}

void setTcpNetwork(TcpNetwork* network)
{
    g_tcpNetwork.install(network);
}

// Registry of the process's FsuipcTransport.
#include "platform/FsuipcTransport.h"
#include "platform/SeamSlot.h"

namespace {
// Found nothing, ever: the link reports "no server" until a real transport is set.
class AbsentTransport final : public FsuipcTransport {
public:
    bool findWindow(const std::string&) override { return false; }
    std::uint32_t registerMessage(const std::string&) override { return 0; }
    bool addAtom(const std::string&) override { return false; }
    MapStatus createMapping(const std::string&, std::size_t) override { return MapStatus::Failed; }
    std::uint8_t* view() override { return nullptr; }
    SendOutcome sendMessage(std::uint32_t, std::uint32_t) override { return SendOutcome{}; }
    void forgetWindow() override {}
    void deleteAtom() override {}
    void closeMapping() override {}
    std::uint32_t processId() override { return 0; }
};

AbsentTransport g_absent;
constinit SeamSlot<FsuipcTransport> g_transport{g_absent};
} // namespace

FsuipcTransport& fsuipcTransport()
{
    return g_transport.get();
}

void setFsuipcTransport(FsuipcTransport* transport)
{
    g_transport.install(transport);
}

// ScriptedXPlane: the simulator's side of the messages, on the manual clock.
#include "support/ScriptedXPlane.h"

#include "platform/Clock.h"
#include "sim/xplane/XPlanePackets.h"

#include <cstring>

namespace {

std::uint32_t u32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void put32(ScriptedXPlane::Packet& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

class ScriptedSocket final : public UdpSocket {
public:
    ScriptedSocket(ScriptedXPlane& sim, bool beacons) : xplane(sim), beaconListener(beacons) {}

    bool sendTo(const UdpEndpoint& to, const std::uint8_t* data, std::size_t size) override
    {
        if (to == UdpEndpoint{ScriptedXPlane::kAddress, ScriptedXPlane::kPort})
            xplane.take(data, size);
        return true;
    }

    long receive(std::uint8_t* buffer, std::size_t capacity, UdpEndpoint& from) override
    {
        ScriptedXPlane::Packet p;
        if (beaconListener) {
            if (xplane.beacons.empty())
                return 0;
            p = xplane.beacons.front().first;
            from = xplane.beacons.front().second;
            xplane.beacons.pop_front();
        } else if (!xplane.next(p, from)) {
            return 0;
        }
        std::memcpy(buffer, p.data(), std::min(capacity, p.size()));
        return static_cast<long>(p.size());
    }

    std::uint16_t localPort() const override { return 50123; }

private:
    ScriptedXPlane& xplane;
    bool beaconListener;
};

} // namespace

ScriptedXPlane::ScriptedXPlane()
{
    setUdpNetwork(this);
}

ScriptedXPlane::~ScriptedXPlane()
{
    setUdpNetwork(nullptr);
}

std::unique_ptr<UdpSocket> ScriptedXPlane::open(std::uint16_t, std::string&)
{
    return std::make_unique<ScriptedSocket>(*this, false);
}

std::unique_ptr<UdpSocket> ScriptedXPlane::joinGroup(const UdpEndpoint&, std::string&)
{
    return std::make_unique<ScriptedSocket>(*this, true);
}

bool ScriptedXPlane::resolve(const std::string& host, std::uint32_t& address)
{
    if (host != "127.0.0.1" && host != "localhost")
        return false;
    address = kAddress;
    return true;
}

void ScriptedXPlane::inject(const Packet& packet, const UdpEndpoint& from)
{
    queue.emplace_back(packet, from);
}

int ScriptedXPlane::subscribedRate() const
{
    return subscriptions.empty() ? 0 : subscriptions.begin()->second.second;
}

void ScriptedXPlane::take(const std::uint8_t* data, std::size_t size)
{
    const std::string kind = XPlanePackets::kindOf(data, size);
    if (kind == "RREF" && size == XPlanePackets::kRrefRequestSize) {
        const auto rate = static_cast<std::int32_t>(u32(data + 5));
        const auto index = static_cast<std::int32_t>(u32(data + 9));
        if (rate == 0)
            subscriptions.erase(index);
        else
            subscriptions[index] = {reinterpret_cast<const char*>(data + 13), rate};
    } else if (kind == "DREF" && size == XPlanePackets::kDrefSize) {
        float v = 0.0f;
        const std::uint32_t bits = u32(data + 5);
        std::memcpy(&v, &bits, 4);
        writes.push_back({reinterpret_cast<const char*>(data + 9), v});
    } else if (kind == "CMND") {
        commands.emplace_back(reinterpret_cast<const char*>(data + 5), size - 5);
        commands.back().resize(std::strlen(commands.back().c_str()));
    }
}

void ScriptedXPlane::answerDue()
{
    const std::int64_t now = processClock().nowMs();
    if (subscriptions.empty() || silent || now < nextAnswerMs)
        return;
    nextAnswerMs = now + 1000 / subscribedRate();
    Packet p{'R', 'R', 'E', 'F', ','};
    for (const auto& [index, sub] : subscriptions) {
        put32(p, static_cast<std::uint32_t>(index));
        std::uint32_t bits = 0;
        const float v = index >= 0 && index < XPlaneDatarefs::Count ? values[index] : 0.0f;
        std::memcpy(&bits, &v, 4);
        put32(p, bits);
    }
    if (!filter || filter(p))
        queue.emplace_back(std::move(p), UdpEndpoint{kAddress, kPort});
}

bool ScriptedXPlane::next(Packet& packet, UdpEndpoint& from)
{
    answerDue();
    if (queue.empty())
        return false;
    packet = std::move(queue.front().first);
    from = queue.front().second;
    queue.pop_front();
    return true;
}

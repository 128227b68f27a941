// An X-Plane on the UDP seam, moved by the process's ManualClock: it takes the
// bridge's subscriptions, writes and commands, and answers at the subscribed
// rate with the values a test sets. Each answer passes a test's filter, which
// may drop, hold back or spoil it; packets from anywhere can be slipped in.
#pragma once

#include "platform/UdpNetwork.h"
#include "sim/xplane/XPlaneDatarefs.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class ScriptedXPlane final : public UdpNetwork {
public:
    using Packet = std::vector<std::uint8_t>;
    static constexpr std::uint32_t kAddress = 0x7F000001;
    static constexpr std::uint16_t kPort = 49000;

    ScriptedXPlane();
    ~ScriptedXPlane() override;

    std::unique_ptr<UdpSocket> open(std::uint16_t localPort, std::string& error) override;
    std::unique_ptr<UdpSocket> joinGroup(const UdpEndpoint& group, std::string& error) override;
    bool resolve(const std::string& host, std::uint32_t& address) override;

    // The values answered, by field of the bridge's table.
    float values[XPlaneDatarefs::Count] = {};
    // Decides what becomes of each answer: false drops it; it may change the bytes.
    std::function<bool(Packet&)> filter;
    // Answers nothing while set; `restart` also forgets every subscription.
    bool silent = false;
    void restart() { subscriptions.clear(); }
    // A packet the bridge receives next, from `from`.
    void inject(const Packet& packet, const UdpEndpoint& from);
    // Beacons heard by a socket that joined the group.
    std::deque<std::pair<Packet, UdpEndpoint>> beacons;

    struct Write {
        std::string dataref;
        float value;
    };
    std::vector<Write> writes;
    std::vector<std::string> commands;
    int subscribedRate() const;
    std::size_t subscriptionCount() const { return subscriptions.size(); }

    // The socket side, called by the bridge's socket.
    void take(const std::uint8_t* data, std::size_t size);
    bool next(Packet& packet, UdpEndpoint& from);

private:
    void answerDue();

    std::map<std::int32_t, std::pair<std::string, int>> subscriptions; // index -> dataref, rate
    std::int64_t nextAnswerMs = 0;
    std::deque<std::pair<Packet, UdpEndpoint>> queue;
};

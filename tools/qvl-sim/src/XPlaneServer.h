// The stand-in's X-Plane UDP interface: answers RREF subscriptions at their
// rates from the model, acts on DREF writes and CMND commands, and sends the
// BECN beacon once a second. Runs on a thread of its own and takes the
// simulator's lock for every look at the model. Fault modes make it answer
// badly, for the client's tests.
#pragma once

#include "DatagramSocket.h"
#include "XPlaneDatarefSpace.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

class CXPlaneServer {
public:
    enum class Fault {
        None,
        // The next three hit half the answers, picked by a seeded generator:
        // a strict alternation would hit the same subscriptions every time
        // when two groups of them fall due in turn.
        Malformed, // a wrong header, a value that is no number, an unknown index
        Truncated, // cut short
        Lose,      // lost
        Reorder,   // answers arrive in pairs, the later one first
        Silent,    // subscriptions are taken, nothing is answered
        Restart,   // every ten seconds the simulator restarts and forgets its subscriptions
    };
    static bool parseFault(const std::string& text, Fault& fault);

    CXPlaneServer(CXPlaneDatarefSpace& space, std::mutex& modelLock);
    ~CXPlaneServer();
    CXPlaneServer(const CXPlaneServer&) = delete;
    CXPlaneServer& operator=(const CXPlaneServer&) = delete;

    // Port 0 takes any free one; the beacon goes out when `beacon` is set.
    bool start(std::uint16_t port, bool beacon);
    void stop();
    bool running() const { return thread.joinable(); }
    std::uint16_t port() const { return boundPort; }
    void setFault(Fault f) { fault = f; }
    // A simulator gone for a while: silent, and when back it has forgotten everything.
    void setAway(bool away);

private:
    struct Subscription {
        std::string dataref;
        int perSecond = 0;
        double nextDue = 0.0;
    };
    void run();
    void handle(const std::uint8_t* data, long size, const DatagramPeer& from);
    void answerDue(double nowMs);
    void sendAnswer(const DatagramPeer& to, std::vector<std::uint8_t> packet);
    void sendBeacon();

    CXPlaneDatarefSpace& space;
    std::mutex& lock;
    CDatagramSocket socket;
    std::uint16_t boundPort = 0;
    bool beaconOn = false;
    std::atomic<Fault> fault{Fault::None};
    std::atomic<bool> away{false};
    std::atomic<bool> keepRunning{false};
    std::thread thread;
    std::map<DatagramPeer, std::map<std::int32_t, Subscription>> subscriptions;
    std::vector<std::uint8_t> heldBack;
    DatagramPeer heldFor;
    unsigned long answers = 0;
    std::minstd_rand faultDice{12345};
};

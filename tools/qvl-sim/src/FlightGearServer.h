// The stand-in's FlightGear property server (what fgfs --telnet=<port>
// offers): get and set in data mode and in the prompt mode people type in,
// answered from the model through its property space. Runs on a thread of
// its own and takes the simulator's lock for every line. Fault modes make it
// answer badly, for the client's tests.
#pragma once

#include "FlightGearPropertySpace.h"
#include "StreamListener.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class CFlightGearServer {
public:
    enum class Fault {
        None,
        Missing, // every other batch lacks the latitude node
        Garbage, // every other batch answers the latitude with text that is no number
        Hangup,  // every tenth batch is cut off with the connection
    };
    static bool parseFault(const std::string& text, Fault& fault);

    CFlightGearServer(CFlightGearPropertySpace& space, std::mutex& modelLock);
    ~CFlightGearServer();
    CFlightGearServer(const CFlightGearServer&) = delete;
    CFlightGearServer& operator=(const CFlightGearServer&) = delete;

    // Port 0 takes any free one.
    bool start(std::uint16_t port);
    void stop();
    std::uint16_t port() const { return boundPort; }
    void setFault(Fault f) { fault = f; }
    // A simulator gone for a while: every connection ends, new ones are closed at once.
    void setAway(bool gone) { away = gone; }

private:
    struct Client {
        std::string input;
        bool dataMode = false;
    };
    void run();
    // Answers every complete line; false when the connection is to end.
    bool serve(CStreamListener::Connection c, Client& client);
    std::string answer(const std::string& line, Client& client, unsigned long batch);

    CFlightGearPropertySpace& space;
    std::mutex& lock;
    CStreamListener listener;
    std::uint16_t boundPort = 0;
    std::atomic<Fault> fault{Fault::None};
    std::atomic<bool> away{false};
    std::atomic<bool> keepRunning{false};
    std::thread thread;
    std::map<CStreamListener::Connection, Client> clients;
    unsigned long batches = 0;
};

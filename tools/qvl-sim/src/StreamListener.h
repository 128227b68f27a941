// The stand-in's TCP sockets for its FlightGear property server: a listening
// socket on every local address and the connections it accepts, all
// non-blocking, with one wait for any of them. StreamListenerPosix.cpp and
// StreamListenerWin32.cpp hold the two systems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CStreamListener {
public:
    using Connection = std::intptr_t;

    CStreamListener();
    ~CStreamListener();
    CStreamListener(const CStreamListener&) = delete;
    CStreamListener& operator=(const CStreamListener&) = delete;

    // Port 0 takes any free port.
    bool open(std::uint16_t port);
    void close();
    std::uint16_t port() const;
    // Waits up to `timeoutMs` until a connection is waiting or one of `connections` can be read.
    void wait(const std::vector<Connection>& connections, unsigned timeoutMs);
    // A waiting connection, or -1.
    Connection accept();

    // What arrived: the byte count, 0 for nothing, -1 when the peer is gone.
    static long receive(Connection c, char* buffer, std::size_t capacity);
    static bool send(Connection c, const std::string& data);
    static void drop(Connection c);

private:
    std::intptr_t handle;
};

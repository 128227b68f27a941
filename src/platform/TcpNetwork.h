// The stream seam: IPv4 TCP connections with bounded waits. The simulator
// bridges that talk over a stream (the FlightGear one) reach the operating
// system only through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TcpStream {
public:
    virtual ~TcpStream() = default;
    // All of `data`; false when the connection refused it.
    virtual bool sendAll(const std::string& data) = 0;
    // What arrives within `waitMs`: the byte count, 0 when nothing came in
    // time, -1 when the peer closed the connection or it failed.
    virtual long receive(char* buffer, std::size_t capacity, int waitMs) = 0;
};

class TcpNetwork {
public:
    virtual ~TcpNetwork() = default;
    // A connection to `host`:`port` made within `waitMs`; nullptr with the
    // system's reason in `error`.
    virtual std::unique_ptr<TcpStream> connect(const std::string& host, std::uint16_t port, int waitMs,
                                               std::string& error) = 0;
};

// The process's network; until one is installed every connect fails.
TcpNetwork& tcpNetwork();
// Installs a network (not owned); nullptr restores the failing one.
void setTcpNetwork(TcpNetwork* network);

// The platform's own sockets (PosixTcpNetwork.cpp, Win32TcpNetwork.cpp).
std::unique_ptr<TcpNetwork> createPlatformTcpNetwork();

// The datagram seam: IPv4 UDP sockets that never block, host-name lookup and
// multicast membership. The simulator bridges that talk over a network (the
// X-Plane one) reach the operating system only through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct UdpEndpoint {
    std::uint32_t address = 0; // IPv4, host byte order (127.0.0.1 is 0x7F000001)
    std::uint16_t port = 0;

    bool operator==(const UdpEndpoint&) const = default;
    std::string text() const;
};

class UdpSocket {
public:
    virtual ~UdpSocket() = default;
    // One datagram to `to`; false when the system refused it.
    virtual bool sendTo(const UdpEndpoint& to, const std::uint8_t* data, std::size_t size) = 0;
    // The next waiting datagram, cut to `capacity`: its full length (which may
    // exceed `capacity`), 0 when none waits, -1 on an error.
    virtual long receive(std::uint8_t* buffer, std::size_t capacity, UdpEndpoint& from) = 0;
    // The local port the socket is bound to.
    virtual std::uint16_t localPort() const = 0;
};

class UdpNetwork {
public:
    virtual ~UdpNetwork() = default;
    // A non-blocking socket bound to `localPort` on every local address (0:
    // any free port); nullptr with the system's reason in `error`.
    virtual std::unique_ptr<UdpSocket> open(std::uint16_t localPort, std::string& error) = 0;
    // A non-blocking socket that shares `group`'s port with other listeners and
    // receives what is sent to the multicast group.
    virtual std::unique_ptr<UdpSocket> joinGroup(const UdpEndpoint& group, std::string& error) = 0;
    // A host name or dotted address to an IPv4 address; false when unknown.
    virtual bool resolve(const std::string& host, std::uint32_t& address) = 0;
};

// The process's network; until one is installed every open fails.
UdpNetwork& udpNetwork();
// Installs a network (not owned); nullptr restores the failing one.
void setUdpNetwork(UdpNetwork* network);

// The platform's own sockets (PosixUdpNetwork.cpp, Win32UdpNetwork.cpp).
std::unique_ptr<UdpNetwork> createPlatformUdpNetwork();

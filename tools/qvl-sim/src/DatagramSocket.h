// The stand-in's UDP socket for its X-Plane interface: bound to a port on
// every local address, receiving with a time limit, sending to any sender.
// DatagramSocketPosix.cpp and DatagramSocketWin32.cpp hold the two systems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct DatagramPeer {
    std::uint32_t address = 0; // IPv4, host byte order
    std::uint16_t port = 0;
    bool operator<(const DatagramPeer& o) const { return address != o.address ? address < o.address : port < o.port; }
    bool operator==(const DatagramPeer&) const = default;
};

class CDatagramSocket {
public:
    CDatagramSocket();
    ~CDatagramSocket();
    CDatagramSocket(const CDatagramSocket&) = delete;
    CDatagramSocket& operator=(const CDatagramSocket&) = delete;

    // Port 0 takes any free port.
    bool open(std::uint16_t port);
    void close();
    bool isOpen() const;
    std::uint16_t port() const;
    // One datagram within `timeoutMs`: its length, 0 for none.
    long receive(std::uint8_t* buffer, std::size_t capacity, DatagramPeer& from, unsigned timeoutMs);
    bool send(const DatagramPeer& to, const std::uint8_t* data, std::size_t size);

private:
    std::intptr_t handle;
};

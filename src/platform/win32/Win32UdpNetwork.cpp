// UdpNetwork on Windows: Winsock 2 sockets in non-blocking mode, getaddrinfo
// for names, IP_ADD_MEMBERSHIP for multicast groups.
#include "platform/UdpNetwork.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

sockaddr_in socketAddress(const UdpEndpoint& e)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(e.address);
    a.sin_port = htons(e.port);
    return a;
}

std::string lastSocketError(const char* what)
{
    return std::string(what) + ": Winsock error " + std::to_string(WSAGetLastError());
}

class Win32UdpSocket final : public UdpSocket {
public:
    explicit Win32UdpSocket(SOCKET s) : socketHandle(s) {}
    ~Win32UdpSocket() override { closesocket(socketHandle); }
    Win32UdpSocket(const Win32UdpSocket&) = delete;
    Win32UdpSocket& operator=(const Win32UdpSocket&) = delete;

    bool sendTo(const UdpEndpoint& to, const std::uint8_t* data, std::size_t size) override
    {
        const sockaddr_in a = socketAddress(to);
        return sendto(socketHandle, reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                      reinterpret_cast<const sockaddr*>(&a), sizeof a) == static_cast<int>(size);
    }

    long receive(std::uint8_t* buffer, std::size_t capacity, UdpEndpoint& from) override
    {
        sockaddr_in a{};
        int length = sizeof a;
        const int n = recvfrom(socketHandle, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                               reinterpret_cast<sockaddr*>(&a), &length);
        if (n == SOCKET_ERROR) {
            const int e = WSAGetLastError();
            if (e == WSAEMSGSIZE) {
                // Cut to the buffer: reported as longer than it, like the whole length.
                from.address = ntohl(a.sin_addr.s_addr);
                from.port = ntohs(a.sin_port);
                return static_cast<long>(capacity) + 1;
            }
            // A port that refused an earlier datagram is reported here; nothing waits.
            return e == WSAEWOULDBLOCK || e == WSAECONNRESET ? 0 : -1;
        }
        from.address = ntohl(a.sin_addr.s_addr);
        from.port = ntohs(a.sin_port);
        return n;
    }

    std::uint16_t localPort() const override
    {
        sockaddr_in a{};
        int length = sizeof a;
        if (getsockname(socketHandle, reinterpret_cast<sockaddr*>(&a), &length) != 0)
            return 0;
        return ntohs(a.sin_port);
    }

private:
    SOCKET socketHandle;
};

SOCKET openNonBlocking(std::string& error)
{
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    u_long nonBlocking = 1;
    if (s == INVALID_SOCKET || ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        error = lastSocketError("socket");
        if (s != INVALID_SOCKET)
            closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

bool bindTo(SOCKET s, std::uint16_t port, std::string& error)
{
    const sockaddr_in a = socketAddress(UdpEndpoint{INADDR_ANY, port});
    if (bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0)
        return true;
    error = lastSocketError(("bind to port " + std::to_string(port)).c_str());
    return false;
}

class Win32UdpNetwork final : public UdpNetwork {
public:
    Win32UdpNetwork()
    {
        WSADATA data{};
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Win32UdpNetwork() override
    {
        if (started)
            WSACleanup();
    }
    Win32UdpNetwork(const Win32UdpNetwork&) = delete;
    Win32UdpNetwork& operator=(const Win32UdpNetwork&) = delete;

    std::unique_ptr<UdpSocket> open(std::uint16_t localPort, std::string& error) override
    {
        const SOCKET s = openNonBlocking(error);
        if (s == INVALID_SOCKET)
            return nullptr;
        if (!bindTo(s, localPort, error)) {
            closesocket(s);
            return nullptr;
        }
        return std::make_unique<Win32UdpSocket>(s);
    }

    std::unique_ptr<UdpSocket> joinGroup(const UdpEndpoint& group, std::string& error) override
    {
        const SOCKET s = openNonBlocking(error);
        if (s == INVALID_SOCKET)
            return nullptr;
        const BOOL on = TRUE;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
        ip_mreq membership{};
        membership.imr_multiaddr.s_addr = htonl(group.address);
        membership.imr_interface.s_addr = htonl(INADDR_ANY);
        if (!bindTo(s, group.port, error) ||
            setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&membership),
                       sizeof membership) != 0) {
            if (error.empty())
                error = lastSocketError("join the group");
            closesocket(s);
            return nullptr;
        }
        return std::make_unique<Win32UdpSocket>(s);
    }

    bool resolve(const std::string& host, std::uint32_t& address) override
    {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
            return false;
        address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
        freeaddrinfo(found);
        return true;
    }

private:
    bool started = false;
};

} // namespace

std::unique_ptr<UdpNetwork> createPlatformUdpNetwork()
{
    return std::make_unique<Win32UdpNetwork>();
}

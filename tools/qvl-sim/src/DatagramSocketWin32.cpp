// CDatagramSocket on Windows: Winsock 2 and select.
#include "DatagramSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {
sockaddr_in addressOf(const DatagramPeer& p)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(p.address);
    a.sin_port = htons(p.port);
    return a;
}

SOCKET socketOf(std::intptr_t handle)
{
    return static_cast<SOCKET>(handle);
}
} // namespace

CDatagramSocket::CDatagramSocket() : handle(static_cast<std::intptr_t>(INVALID_SOCKET))
{
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
}

CDatagramSocket::~CDatagramSocket()
{
    close();
    WSACleanup();
}

bool CDatagramSocket::open(std::uint16_t port)
{
    close();
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return false;
    const sockaddr_in a = addressOf(DatagramPeer{INADDR_ANY, port});
    if (bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        closesocket(s);
        return false;
    }
    const DWORD loop = 1;
    setsockopt(s, IPPROTO_IP, IP_MULTICAST_LOOP, reinterpret_cast<const char*>(&loop), sizeof loop);
    handle = static_cast<std::intptr_t>(s);
    return true;
}

void CDatagramSocket::close()
{
    if (socketOf(handle) != INVALID_SOCKET)
        closesocket(socketOf(handle));
    handle = static_cast<std::intptr_t>(INVALID_SOCKET);
}

bool CDatagramSocket::isOpen() const
{
    return socketOf(handle) != INVALID_SOCKET;
}

std::uint16_t CDatagramSocket::port() const
{
    sockaddr_in a{};
    int length = sizeof a;
    if (!isOpen() || getsockname(socketOf(handle), reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return 0;
    return ntohs(a.sin_port);
}

long CDatagramSocket::receive(std::uint8_t* buffer, std::size_t capacity, DatagramPeer& from, unsigned timeoutMs)
{
    if (!isOpen())
        return 0;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socketOf(handle), &readable);
    timeval wait{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000 * 1000)};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
        return 0;
    sockaddr_in a{};
    int length = sizeof a;
    const int n = recvfrom(socketOf(handle), reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                           reinterpret_cast<sockaddr*>(&a), &length);
    if (n <= 0)
        return 0;
    from.address = ntohl(a.sin_addr.s_addr);
    from.port = ntohs(a.sin_port);
    return n;
}

bool CDatagramSocket::send(const DatagramPeer& to, const std::uint8_t* data, std::size_t size)
{
    const sockaddr_in a = addressOf(to);
    return isOpen() && sendto(socketOf(handle), reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                              reinterpret_cast<const sockaddr*>(&a), sizeof a) == static_cast<int>(size);
}

// CStreamListener on Windows: Winsock 2 and select.
#include "StreamListener.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {
SOCKET socketOf(std::intptr_t handle)
{
    return static_cast<SOCKET>(handle);
}

void nonBlocking(SOCKET s)
{
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}
} // namespace

CStreamListener::CStreamListener() : handle(static_cast<std::intptr_t>(INVALID_SOCKET))
{
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
}

CStreamListener::~CStreamListener()
{
    close();
    WSACleanup();
}

bool CStreamListener::open(std::uint16_t port)
{
    close();
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || listen(s, 8) != 0) {
        closesocket(s);
        return false;
    }
    nonBlocking(s);
    handle = static_cast<std::intptr_t>(s);
    return true;
}

void CStreamListener::close()
{
    if (socketOf(handle) != INVALID_SOCKET)
        closesocket(socketOf(handle));
    handle = static_cast<std::intptr_t>(INVALID_SOCKET);
}

std::uint16_t CStreamListener::port() const
{
    sockaddr_in a{};
    int length = sizeof a;
    if (socketOf(handle) == INVALID_SOCKET || getsockname(socketOf(handle), reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return 0;
    return ntohs(a.sin_port);
}

void CStreamListener::wait(const std::vector<Connection>& connections, unsigned timeoutMs)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socketOf(handle), &readable);
    for (std::size_t i = 0; i < connections.size() && i + 1 < FD_SETSIZE; ++i)
        FD_SET(socketOf(connections[i]), &readable);
    timeval t{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000 * 1000)};
    select(0, &readable, nullptr, nullptr, &t);
}

CStreamListener::Connection CStreamListener::accept()
{
    const SOCKET s = ::accept(socketOf(handle), nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return -1;
    nonBlocking(s);
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return static_cast<Connection>(s);
}

long CStreamListener::receive(Connection c, char* buffer, std::size_t capacity)
{
    const int n = recv(socketOf(c), buffer, static_cast<int>(capacity), 0);
    if (n == SOCKET_ERROR)
        return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
    return n == 0 ? -1 : n;
}

bool CStreamListener::send(Connection c, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const int n = ::send(socketOf(c), data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            fd_set writable;
            FD_ZERO(&writable);
            FD_SET(socketOf(c), &writable);
            timeval t{1, 0};
            if (select(0, nullptr, &writable, nullptr, &t) > 0)
                continue;
        }
        return false;
    }
    return true;
}

void CStreamListener::drop(Connection c)
{
    closesocket(socketOf(c));
}

// TcpNetwork on Windows: Winsock 2 sockets, a non-blocking connect bounded by
// select, select before every read.
#include "platform/TcpNetwork.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

std::string lastSocketError(const char* what)
{
    return std::string(what) + ": Winsock error " + std::to_string(WSAGetLastError());
}

bool waitFor(SOCKET s, bool writing, int waitMs)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(s, &failed);
    timeval t{waitMs / 1000, waitMs % 1000 * 1000};
    const int n = select(0, writing ? nullptr : &set, writing ? &set : nullptr, &failed, &t);
    return n > 0 && FD_ISSET(s, &set);
}

class Win32TcpStream final : public TcpStream {
public:
    explicit Win32TcpStream(SOCKET s) : socketHandle(s) {}
    ~Win32TcpStream() override { closesocket(socketHandle); }
    Win32TcpStream(const Win32TcpStream&) = delete;
    Win32TcpStream& operator=(const Win32TcpStream&) = delete;

    bool sendAll(const std::string& data) override
    {
        std::size_t sent = 0;
        while (sent < data.size()) {
            const int n = send(socketHandle, data.data() + sent, static_cast<int>(data.size() - sent), 0);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK && waitFor(socketHandle, true, 1000))
                continue;
            return false;
        }
        return true;
    }

    long receive(char* buffer, std::size_t capacity, int waitMs) override
    {
        if (!waitFor(socketHandle, false, waitMs))
            return 0;
        const int n = recv(socketHandle, buffer, static_cast<int>(capacity), 0);
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
            return 0;
        return n > 0 ? n : -1;
    }

private:
    SOCKET socketHandle;
};

class Win32TcpNetwork final : public TcpNetwork {
public:
    Win32TcpNetwork()
    {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Win32TcpNetwork() override
    {
        if (started)
            WSACleanup();
    }
    Win32TcpNetwork(const Win32TcpNetwork&) = delete;
    Win32TcpNetwork& operator=(const Win32TcpNetwork&) = delete;

    std::unique_ptr<TcpStream> connect(const std::string& host, std::uint16_t port, int waitMs,
                                       std::string& error) override
    {
        if (!started) {
            error = "Winsock did not start";
            return nullptr;
        }
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
            error = "unknown host " + host;
            return nullptr;
        }
        SOCKET s = openWithin(*found, waitMs, error);
        freeaddrinfo(found);
        if (s == INVALID_SOCKET)
            return nullptr;
        return std::make_unique<Win32TcpStream>(s);
    }

private:
    static SOCKET openWithin(const addrinfo& a, int waitMs, std::string& error)
    {
        SOCKET s = socket(a.ai_family, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) {
            error = lastSocketError("socket");
            return s;
        }
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        if (::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) != 0 &&
            (WSAGetLastError() != WSAEWOULDBLOCK || !waitFor(s, true, waitMs))) {
            error = lastSocketError("connect");
            closesocket(s);
            return INVALID_SOCKET;
        }
        const BOOL on = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        return s;
    }

    bool started = false;
};

} // namespace

std::unique_ptr<TcpNetwork> createPlatformTcpNetwork()
{
    return std::make_unique<Win32TcpNetwork>();
}

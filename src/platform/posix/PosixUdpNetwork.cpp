// UdpNetwork on Linux: BSD sockets with O_NONBLOCK, getaddrinfo for names,
// IP_ADD_MEMBERSHIP for multicast groups.
#include "platform/UdpNetwork.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in socketAddress(const UdpEndpoint& e)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(e.address);
    a.sin_port = htons(e.port);
    return a;
}

class PosixUdpSocket final : public UdpSocket {
public:
    explicit PosixUdpSocket(int socketFd) : fd(socketFd) {}
    ~PosixUdpSocket() override { ::close(fd); }
    PosixUdpSocket(const PosixUdpSocket&) = delete;
    PosixUdpSocket& operator=(const PosixUdpSocket&) = delete;

    bool sendTo(const UdpEndpoint& to, const std::uint8_t* data, std::size_t size) override
    {
        const sockaddr_in a = socketAddress(to);
        return ::sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&a), sizeof a) ==
               static_cast<ssize_t>(size);
    }

    long receive(std::uint8_t* buffer, std::size_t capacity, UdpEndpoint& from) override
    {
        sockaddr_in a{};
        socklen_t length = sizeof a;
        // MSG_TRUNC reports the datagram's whole length, so a cut one is seen as such.
        const ssize_t n = ::recvfrom(fd, buffer, capacity, MSG_TRUNC, reinterpret_cast<sockaddr*>(&a), &length);
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED ? 0 : -1;
        from.address = ntohl(a.sin_addr.s_addr);
        from.port = ntohs(a.sin_port);
        return static_cast<long>(n);
    }

    std::uint16_t localPort() const override
    {
        sockaddr_in a{};
        socklen_t length = sizeof a;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0)
            return 0;
        return ntohs(a.sin_port);
    }

private:
    int fd;
};

int openNonBlocking(std::string& error)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

bool bindTo(int fd, std::uint16_t port, std::string& error)
{
    const sockaddr_in a = socketAddress(UdpEndpoint{INADDR_ANY, port});
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0)
        return true;
    error = "bind to port " + std::to_string(port) + ": " + std::strerror(errno);
    return false;
}

class PosixUdpNetwork final : public UdpNetwork {
public:
    std::unique_ptr<UdpSocket> open(std::uint16_t localPort, std::string& error) override
    {
        const int fd = openNonBlocking(error);
        if (fd < 0)
            return nullptr;
        if (!bindTo(fd, localPort, error)) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixUdpSocket>(fd);
    }

    std::unique_ptr<UdpSocket> joinGroup(const UdpEndpoint& group, std::string& error) override
    {
        const int fd = openNonBlocking(error);
        if (fd < 0)
            return nullptr;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#ifdef SO_REUSEPORT
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
#endif
        ip_mreq membership{};
        membership.imr_multiaddr.s_addr = htonl(group.address);
        membership.imr_interface.s_addr = htonl(INADDR_ANY);
        if (!bindTo(fd, group.port, error) ||
            ::setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0) {
            if (error.empty())
                error = std::string("join the group: ") + std::strerror(errno);
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixUdpSocket>(fd);
    }

    bool resolve(const std::string& host, std::uint32_t& address) override
    {
        in_addr dotted{};
        if (::inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
            address = ntohl(dotted.s_addr);
            return true;
        }
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
            return false;
        address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
        ::freeaddrinfo(found);
        return true;
    }
};

} // namespace

std::unique_ptr<UdpNetwork> createPlatformUdpNetwork()
{
    return std::make_unique<PosixUdpNetwork>();
}

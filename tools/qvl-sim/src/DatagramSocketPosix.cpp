// CDatagramSocket on Linux: BSD sockets and poll.
#include "DatagramSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
sockaddr_in addressOf(const DatagramPeer& p)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(p.address);
    a.sin_port = htons(p.port);
    return a;
}
} // namespace

CDatagramSocket::CDatagramSocket() : handle(-1) {}

CDatagramSocket::~CDatagramSocket()
{
    close();
}

bool CDatagramSocket::open(std::uint16_t port)
{
    close();
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in a = addressOf(DatagramPeer{INADDR_ANY, port});
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return false;
    }
    const unsigned char loop = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
    handle = fd;
    return true;
}

void CDatagramSocket::close()
{
    if (handle >= 0)
        ::close(static_cast<int>(handle));
    handle = -1;
}

bool CDatagramSocket::isOpen() const
{
    return handle >= 0;
}

std::uint16_t CDatagramSocket::port() const
{
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (handle < 0 || ::getsockname(static_cast<int>(handle), reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return 0;
    return ntohs(a.sin_port);
}

long CDatagramSocket::receive(std::uint8_t* buffer, std::size_t capacity, DatagramPeer& from, unsigned timeoutMs)
{
    if (handle < 0)
        return 0;
    pollfd p{static_cast<int>(handle), POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeoutMs)) <= 0)
        return 0;
    sockaddr_in a{};
    socklen_t length = sizeof a;
    const ssize_t n =
        ::recvfrom(static_cast<int>(handle), buffer, capacity, 0, reinterpret_cast<sockaddr*>(&a), &length);
    if (n <= 0)
        return 0;
    from.address = ntohl(a.sin_addr.s_addr);
    from.port = ntohs(a.sin_port);
    return static_cast<long>(n);
}

bool CDatagramSocket::send(const DatagramPeer& to, const std::uint8_t* data, std::size_t size)
{
    const sockaddr_in a = addressOf(to);
    return handle >= 0 && ::sendto(static_cast<int>(handle), data, size, 0, reinterpret_cast<const sockaddr*>(&a),
                                   sizeof a) == static_cast<ssize_t>(size);
}

// CStreamListener on Linux: BSD sockets and poll.
#include "StreamListener.h"

#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
void nonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}
} // namespace

CStreamListener::CStreamListener() : handle(-1) {}

CStreamListener::~CStreamListener()
{
    close();
}

bool CStreamListener::open(std::uint16_t port)
{
    close();
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    nonBlocking(fd);
    handle = fd;
    return true;
}

void CStreamListener::close()
{
    if (handle >= 0)
        ::close(static_cast<int>(handle));
    handle = -1;
}

std::uint16_t CStreamListener::port() const
{
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (handle < 0 || ::getsockname(static_cast<int>(handle), reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return 0;
    return ntohs(a.sin_port);
}

void CStreamListener::wait(const std::vector<Connection>& connections, unsigned timeoutMs)
{
    std::vector<pollfd> fds;
    fds.push_back({static_cast<int>(handle), POLLIN, 0});
    for (const Connection c : connections)
        fds.push_back({static_cast<int>(c), POLLIN, 0});
    ::poll(fds.data(), fds.size(), static_cast<int>(timeoutMs));
}

CStreamListener::Connection CStreamListener::accept()
{
    if (handle < 0)
        return -1;
    const int fd = ::accept(static_cast<int>(handle), nullptr, nullptr);
    if (fd < 0)
        return -1;
    nonBlocking(fd);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

long CStreamListener::receive(Connection c, char* buffer, std::size_t capacity)
{
    const ssize_t n = ::recv(static_cast<int>(c), buffer, capacity, 0);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
    return n == 0 ? -1 : static_cast<long>(n);
}

bool CStreamListener::send(Connection c, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(static_cast<int>(c), data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            pollfd p{static_cast<int>(c), POLLOUT, 0};
            if (::poll(&p, 1, 1000) > 0)
                continue;
        }
        return false;
    }
    return true;
}

void CStreamListener::drop(Connection c)
{
    ::close(static_cast<int>(c));
}
